-- Every station's daily day and night levels from the team database, computed on the server.
-- Ld is the energy mean of the Leq of the groups begun 06:00-21:59, Ln of those begun 00:00-05:59
-- and 22:00-23:59 of the same date (the hours of the 24-hour chart), each group weighted by its
-- measuring time. The statistical groups of the sound-level models a, b and c count (octave groups
-- and the vibration model do not); a group downloaded in several transfers of a station counts
-- once.
--   psql -d "host=db.example.org dbname=noise" -f scripts/team-daily-levels.sql
WITH groups AS (
    SELECT DISTINCT ON (t.station, r.group_key)
           t.station,
           to_date(r.fields ->> 'DATE', 'YY-MM-DD') AS day,
           split_part(r.fields ->> 'TIME', ':', 1)::int AS hour,
           (r.fields ->> 'Leq')::float8 AS leq,
           r.fields ->> '测量时间' AS measured
    FROM nlx.records r
    JOIN nlx.transfers t ON t.id = r.transfer
    WHERE t.model IN ('a', 'b', 'c')
      AND r.fields ->> 'MODE' <> 'OCT'
      AND r.fields ->> 'Leq' ~ '^\d+(\.\d+)?$'
      AND r.fields ->> 'DATE' ~ '^\d\d-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])$'
      AND r.fields ->> 'TIME' ~ '^\d\d?:'
), weighted AS (
    -- 测量时间 reads "1h30m0s"; a group without one counts as one second.
    SELECT station, day, hour, leq,
           coalesce(CASE WHEN measured ~ '^\d{1,2}h\d{1,2}m\d{1,2}s$'
                         THEN nullif(split_part(measured, 'h', 1)::int * 3600
                                     + split_part(split_part(measured, 'h', 2), 'm', 1)::int * 60
                                     + rtrim(split_part(measured, 'm', 2), 's')::int, 0)
                    END, 1) AS seconds
    FROM groups
)
SELECT station,
       day,
       round((10 * log(sum(seconds * power(10, leq / 10)) FILTER (WHERE hour BETWEEN 6 AND 21)
                       / sum(seconds) FILTER (WHERE hour BETWEEN 6 AND 21)))::numeric, 1) AS ld,
       round((10 * log(sum(seconds * power(10, leq / 10)) FILTER (WHERE hour NOT BETWEEN 6 AND 21)
                       / sum(seconds) FILTER (WHERE hour NOT BETWEEN 6 AND 21)))::numeric, 1) AS ln,
       count(*) AS groups
FROM weighted
GROUP BY station, day
ORDER BY station, day;
