// Text, CSV and JSON of assessments.
#include "assess/assessment_output.h"

#include "core/text_escapes.h"
#include "core/texts.h"

namespace nlx::assess {
namespace {

constexpr Wording kMachine = Wording::source;  // the words of the CSV and JSON

std::string rows_text(const Assessment& a) {
    return a.first_row == a.last_row ? std::to_string(a.first_row + 1)
                                     : std::to_string(a.first_row + 1) + "-" + std::to_string(a.last_row + 1);
}

std::string kind_text(const Assessment& a, Wording w) {
    return std::string(worded(w, a.kind == Assessment::Kind::run ? texts::kRunKind : texts::kGroupKind));
}

std::string two(int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); }

std::string hour_name(int hour, Wording w) { return fill(worded(w, texts::kHour), {two(hour)}); }

template <typename Parts>
std::string joined(const Parts& parts, std::string_view with) {
    std::string text;
    for (const auto& p : parts) text.append(text.empty() ? "" : with).append(p);
    return text;
}

std::vector<std::string> written(const std::vector<Phrase>& phrases, Wording w) {
    std::vector<std::string> texts;
    for (const auto& p : phrases) texts.push_back(p.text(w));
    return texts;
}

TableLine base_line(const Assessment& a, Wording w) {
    TableLine line;
    line.rows = rows_text(a);
    line.group = a.group;
    line.kind = kind_text(a, w);
    line.date = a.date;
    line.time = a.time;
    return line;
}

TableLine check_line(TableLine line, const Check& check, Wording w) {
    line.quantity = check.quantity.text(w);
    line.measured = tenths_text(check.measured);
    line.limit = tenths_text(check.limit);
    line.margin = margin_text(check.margin());
    line.verdict = std::string(verdict_text(check, w));
    line.failed = !check.passed();
    return line;
}

// Right-aligns ASCII text in `width` columns.
std::string right(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string check_text(const Check& check, Wording w) {
    return fill(worded(w, check.decides ? texts::kCheckLine : texts::kReferenceCheckLine),
                {check.quantity.text(w), right(tenths_text(check.measured), 5), right(tenths_text(check.limit), 5),
                 right(margin_text(check.margin()), 5), verdict_text(check, w)});
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    return quoted_csv(text);
}

std::string json_check(const Check& c) {
    return "{\"quantity\": " + json_string(c.quantity.text(kMachine)) + ", \"measured\": " + tenths_text(c.measured) +
           ", \"limit\": " + tenths_text(c.limit) + ", \"margin\": " + tenths_text(c.margin()) +
           ", \"verdict\": " + json_string(verdict_text(c, kMachine)) + ", \"decides\": " + (c.decides ? "true" : "false") + "}";
}

}  // namespace

std::string_view missing_hours_rule(Wording wording) { return worded(wording, texts::kMissingHoursRule); }

std::string hours_text(const std::vector<int>& hours, Wording wording) {
    std::vector<std::string> names;
    for (int h : hours) names.push_back(hour_name(h, wording));
    return names.empty() ? std::string(worded(wording, texts::kNoHours)) : joined(names, worded(wording, texts::kHourJoin));
}

std::vector<TableLine> table_lines(const Assessment& a, Wording w) {
    std::vector<TableLine> lines;
    const std::string notes = joined(written(a.notes, w), worded(w, texts::kListJoin));
    if (a.refused) {
        TableLine line = base_line(a, w);
        line.verdict = std::string(outcome_text(Outcome::not_assessed, w));
        line.note = a.refused->text(w);
        lines.push_back(line);
        return lines;
    }
    for (const auto& check : a.checks) {
        TableLine line = base_line(a, w);
        if (a.period) line.period = std::string(period_text(*a.period, w));
        else if (check.period) line.period = std::string(period_text(*check.period, w));
        else line.period = std::string(worded(w, texts::kWholeDay));
        lines.push_back(check_line(line, check, w));
    }
    for (const auto& h : a.hours) {
        TableLine line = base_line(a, w);
        line.kind = std::string(worded(w, texts::kHourlyKind));
        line.role = TableLine::Role::hour;
        line.group = h.group;
        line.rows = std::to_string(h.row + 1);
        line.time.clear();
        line.period = hour_name(h.hour, w);
        if (h.level_check) {
            lines.push_back(check_line(line, *h.level_check, w));
        } else {
            line.quantity = "Leq";
            line.measured = tenths_text(h.level);
            lines.push_back(line);
        }
        if (h.lmax_check) lines.push_back(check_line(line, *h.lmax_check, w));
    }
    if (a.kind == Assessment::Kind::run && !a.missing_hours.empty()) {
        TableLine line = base_line(a, w);
        line.kind = std::string(worded(w, texts::kMissingKind));
        line.role = TableLine::Role::missing_hours;
        line.period = hours_text(a.missing_hours, w);
        line.note = std::string(worded(w, texts::kNotCounted));
        lines.push_back(line);
    }
    if (!notes.empty() && !lines.empty()) lines.front().note = notes;
    return lines;
}

std::string heading_line(const Assessment& a, Wording w) {
    std::string text = texts::assessed_rows(a.first_row + 1, a.last_row + 1, w);
    text += " " + texts::assessed_group(a.group, w) + " " + kind_text(a, w);
    if (!a.date.empty() || !a.time.empty()) text += " " + a.date + (a.date.empty() ? "" : " ") + a.time;
    if (a.period) text += " " + std::string(period_text(*a.period, w));
    return fill(worded(w, texts::kHeadingOutcome), {text, outcome_text(a.outcome(), w)});
}

std::string assessment_text(const Criterion& criterion, const std::vector<Assessment>& assessments, Wording w) {
    auto line = [w](std::string_view pattern, std::string_view value) { return fill(worded(w, pattern), {value}); };
    std::string text = line(texts::kStandardLine, criterion.description(w)) + "\n";
    text += line(texts::kRuleLine, worded(w, criterion.standard->rule)) + "\n";
    int passed = 0, failed = 0, skipped = 0;
    for (const auto& a : assessments) {
        text += "\n" + heading_line(a, w) + "\n";
        if (a.refused) text += "  " + line(texts::kRefusedLine, a.refused->text(w)) + "\n";
        for (const auto& check : a.checks) text += "  " + check_text(check, w) + "\n";
        if (!a.hours.empty()) text += "  " + std::string(worded(w, texts::kHoursLabel)) + "\n";
        for (const auto& h : a.hours) {
            text += "    " + hour_name(h.hour, w) + " " + texts::assessed_group(h.group, w) + " " +
                    std::string(period_text(h.period, w)) + "  ";
            text += h.level_check ? check_text(*h.level_check, w) : "Leq " + right(tenths_text(h.level), 5) + " dB";
            if (h.lmax_check) text += "  " + check_text(*h.lmax_check, w);
            text += "\n";
        }
        if (a.kind == Assessment::Kind::run && !a.refused)
            text += "  " + line(texts::kMissingLine, hours_text(a.missing_hours, w)) + "\n";
        for (const auto& note : a.notes) text += "  " + line(texts::kNoteLine, note.text(w)) + "\n";
        const Outcome o = a.outcome();
        (o == Outcome::pass ? passed : o == Outcome::fail ? failed : skipped)++;
    }
    text += "\n" + texts::assessment_totals(passed, failed, skipped, w) + "\n";
    text += std::string(missing_hours_rule(w)) + "\n";
    return text;
}

std::string assessment_csv(const Criterion& criterion, const std::vector<Assessment>& assessments) {
    (void)criterion;
    std::string csv = "\xEF\xBB\xBF";
    std::vector<std::string> headings(std::begin(kTableHeadings), std::end(kTableHeadings));
    for (std::size_t i = 0; i < headings.size(); ++i) csv += (i ? "," : "") + csv_field(headings[i]);
    csv += "\r\n";
    for (const auto& a : assessments)
        for (const auto& l : table_lines(a, kMachine)) {
            const std::string fields[] = {l.rows,    l.group,    l.kind,  l.date,   l.time,    l.period,
                                          l.quantity, l.measured, l.limit, l.margin, l.verdict, l.note};
            for (std::size_t i = 0; i < std::size(fields); ++i) {
                if (i) csv += ',';
                csv += csv_field(fields[i]);
            }
            csv += "\r\n";
        }
    return csv;
}

std::string assessment_json(const Criterion& criterion, const std::vector<Assessment>& assessments) {
    const Standard& s = *criterion.standard;
    std::string j = "{\n  \"standard\": {\"key\": " + json_string(s.key) + ", \"source\": " + json_string(worded(kMachine, s.source)) +
                    ", \"title\": " + json_string(worded(kMachine, s.title)) + ", \"class\": " +
                    (criterion.zone ? json_string(criterion.zone->key) : std::string("null")) +
                    ", \"class_name\": " + (criterion.zone ? json_string(worded(kMachine, criterion.zone->name)) : std::string("null")) +
                    ", \"day_limit\": " + tenths_text(criterion.day) + ", \"night_limit\": " + tenths_text(criterion.night) +
                    ", \"rule\": " + json_string(worded(kMachine, s.rule)) + "},\n  \"missing_hours_rule\": " +
                    json_string(missing_hours_rule(kMachine)) + ",\n  \"assessments\": [";
    for (std::size_t i = 0; i < assessments.size(); ++i) {
        const Assessment& a = assessments[i];
        j += std::string(i ? "," : "") + "\n    {\"kind\": " + (a.kind == Assessment::Kind::run ? "\"run\"" : "\"group\"") +
             ", \"first_row\": " + std::to_string(a.first_row + 1) + ", \"last_row\": " + std::to_string(a.last_row + 1) +
             ", \"group\": " + json_string(a.group) + ", \"date\": " + json_string(a.date) + ", \"time\": " +
             json_string(a.time) + ", \"outcome\": " + json_string(outcome_text(a.outcome(), kMachine)) + ", \"refused\": " +
             (a.refused ? json_string(a.refused->text(kMachine)) : std::string("null")) + ", \"period\": " +
             (a.period ? json_string(period_text(*a.period, kMachine)) : std::string("null")) + ",\n     \"checks\": [";
        for (std::size_t k = 0; k < a.checks.size(); ++k) j += (k ? ", " : "") + json_check(a.checks[k]);
        j += "],\n     \"hours\": [";
        for (std::size_t k = 0; k < a.hours.size(); ++k) {
            const HourResult& h = a.hours[k];
            j += std::string(k ? "," : "") + "\n       {\"hour\": " + std::to_string(h.hour) + ", \"row\": " +
                 std::to_string(h.row + 1) + ", \"group\": " + json_string(h.group) + ", \"period\": " +
                 json_string(period_text(h.period, kMachine)) + ", \"level\": " + tenths_text(h.level) + ", \"check\": " +
                 (h.level_check ? json_check(*h.level_check) : "null") + ", \"lmax\": " +
                 (h.lmax_check ? json_check(*h.lmax_check) : "null") + "}";
        }
        j += "],\n     \"missing_hours\": [";
        for (std::size_t k = 0; k < a.missing_hours.size(); ++k) j += (k ? ", " : "") + std::to_string(a.missing_hours[k]);
        j += "],\n     \"notes\": [";
        for (std::size_t k = 0; k < a.notes.size(); ++k) j += (k ? ", " : "") + json_string(a.notes[k].text(kMachine));
        j += "]}";
    }
    return j + "\n  ]\n}\n";
}

}  // namespace nlx::assess
