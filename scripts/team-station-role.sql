-- The least a station's role needs on the team database: to connect, to reach schema nlx, and to
-- insert and read its tables; nothing else (no UPDATE, DELETE, TRUNCATE or CREATE).
-- Run as the database's owner once the tables exist (nlx team init), for an existing login role:
--   psql -v role=station_lab2 -d "host=db.example.org dbname=noise" -f scripts/team-station-role.sql
-- The role's password is set by the administrator (psql's \password) and kept by the station in
-- ~/.pgpass; nlx never handles it.
GRANT CONNECT ON DATABASE :"DBNAME" TO :"role";
GRANT USAGE ON SCHEMA nlx TO :"role";
GRANT SELECT, INSERT ON ALL TABLES IN SCHEMA nlx TO :"role";
