#include "insight/timeline_page.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "calendar/calendar.h"
#include "insight/finding_text.h"
#include "schedule/reader.h"
#include "schedule/repeat_period.h"

namespace quillmar::planprobe {

namespace {

// One colour per event kind 51..59, told apart also by people with red-green weakness.
constexpr std::array<const char*, 9> kKindColours = {
    "#1f77b4", "#ff7f0e", "#7f7f7f", "#8c564b", "#bcbd22",
    "#9467bd", "#2ca02c", "#17becf", "#e377c2",
};
static_assert(kKindColours.size() == kKindCount, "one colour per kind");

constexpr const char* kStyle =
    "body{font:13px/1.35 sans-serif;margin:16px;color:#222;background:#fff}"
    "h1{font-size:20px}h2{font-size:16px;margin-top:22px}"
    "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:2px 6px;"
    "text-align:left}td.n{text-align:right}"
    ".row{display:flex;align-items:center;height:19px}"
    ".lab{width:100px;flex:none;font-size:11px;color:#555}"
    ".track{position:relative;flex:1;height:17px;border-bottom:1px solid #eee;"
    "background:repeating-linear-gradient(90deg,#f2f2f2 0,#f2f2f2 1px,transparent 1px,"
    "transparent 4.1667%)}"
    ".axis{display:flex;margin-left:100px;font-size:10px;color:#777}"
    ".axis span{flex:1}"
    ".m{position:absolute;top:2px;width:3px;height:13px;margin-left:-1px}"
    ".m.d{top:0;height:17px;outline:1px solid #d62728}"
    ".m.s{background:none!important;border:1px solid #555;width:1px}"
    ".m.u{background:#d62728;width:5px}"
    ".m.n,.m.g{top:0;height:4px;width:7px;margin-left:-3px;background:#000}"
    ".m.g{top:11px;height:4px;background:#fff;outline:1px solid #000}"
    ".legend b{display:inline-block;position:static;width:12px;height:12px;"
    "margin:0 4px 0 12px;vertical-align:middle}"
    "pre{margin:0;font-size:11px}";

// `text` for HTML text or a quoted attribute: markup characters as entities, line ends as
// &#10;, other control bytes and bytes that are not ASCII as numeric references.
void appendEscaped(std::string& page, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        page += "&amp;";
        break;
      case '<':
        page += "&lt;";
        break;
      case '>':
        page += "&gt;";
        break;
      case '"':
        page += "&quot;";
        break;
      case '\r':
        break;
      case '\n':
        page += "&#10;";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          page += "&#" + std::to_string(byte < 0x20 || byte == 0x7F ? 0xFFFD : byte) + ";";
        } else {
          page += c;
        }
    }
  }
}

// The code point of the well-formed UTF-8 sequence of two to four bytes that starts `text`, and
// its length; a length of 0 when `text` starts otherwise.
std::pair<char32_t, std::size_t> utf8CharacterAt(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = text.empty() ? 0 : byte(0);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() < length) {
    return {0, 0};
  }
  char32_t point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) {
      return {0, 0};
    }
    point = point << 6 | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and points beyond Unicode are no characters.
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool valid =
      point >= kSmallest[length] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
  return valid ? std::pair{point, length} : std::pair{char32_t{0}, std::size_t{0}};
}

// A file name for HTML text: as appendEscaped, except that names come in UTF-8 (Linux, and the
// Windows programs by their manifest), so a well-formed character outside ASCII shows as itself.
void appendEscapedName(std::string& page, std::string_view name) {
  while (!name.empty()) {
    const auto [point, length] = utf8CharacterAt(name);
    if (length > 0) {
      page += "&#" + std::to_string(static_cast<uint32_t>(point)) + ";";
    } else {
      appendEscaped(page, name.substr(0, 1));
    }
    name.remove_prefix(std::max<std::size_t>(length, 1));
  }
}

// A table cell holding `text`, right-aligned for a number.
void appendCell(std::string& page, std::string_view text, bool number = false) {
  page += number ? "<td class=\"n\">" : "<td>";
  appendEscaped(page, text);
  page += "</td>";
}

// The weekday of `when`, in three letters.
std::string_view weekdayShort(const SimMoment& when) {
  const std::string_view name =
      weekdayName(WeekdayCode(when.year, monthCode(when.month), when.day));
  return name.empty() ? "?" : name.substr(0, 3);
}

// The minute's log text without the line end that opens it.
std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The colours of the kinds and the marks' outlines, and the marks of changes when shown.
void renderLegend(std::string& page, bool changes) {
  page += "<h2>Legend</h2><p class=\"legend\">";
  for (size_t i = 0; i < kKindColours.size(); ++i) {
    page += "<b class=\"m k" + std::to_string(SENDSTRING + i) + "\"></b>";
    page += EventKeyword(static_cast<uint8_t>(SENDSTRING + i));
  }
  page +=
      "<b class=\"m k57 d\"></b>double occupancy (outlined)<b class=\"m u\"></b>no precedence "
      "(Unknown Event Type)<b class=\"m s\"></b>executed without a command line";
  if (changes) {
    page +=
        "<b class=\"m n\"></b>new against the old schedule<b class=\"m g\"></b>gone against "
        "the old schedule";
  }
  page += "</p>";
}

// The run summary as a table, with its warnings.
void renderSummary(std::string& page, const RunSummary& summary) {
  page += "<h2>Summary</h2><p>" + std::to_string(summary.validLines()) + " valid line(s), " +
          std::to_string(summary.faultyLines()) + " faulty line(s)</p>";
  page +=
      "<table><tr><th>line</th><th>event</th><th>runs</th><th>lost</th><th>lost to</th>"
      "<th>first run</th><th>last run</th></tr>";
  for (const LineStats& s : summary.lines()) {
    page += "<tr>";
    appendCell(page, std::to_string(s.line), true);
    appendCell(page, s.what);
    appendCell(page, std::to_string(s.runs), true);
    appendCell(page, std::to_string(s.losses), true);
    appendCell(page, s.lostTo == 0 ? "-" : std::to_string(s.lostTo), true);
    appendCell(page, s.firstRun ? MomentText(*s.firstRun) : "-");
    appendCell(page, s.lastRun ? MomentText(*s.lastRun) : "-");
    page += "</tr>";
  }
  page += "</table>";
  const std::vector<std::string> warnings = summary.warnings();
  if (!warnings.empty()) {
    page += "<h2>Warnings</h2><ul>";
    for (const std::string& warning : warnings) {
      page += "<li>";
      appendEscaped(page, warning);
      page += "</li>";
    }
    page += "</ul>";
  }
}

// The analysis findings with their line numbers, explanations and the lines' text.
void renderFindings(std::string& page, const std::vector<Finding>& findings,
                    std::string_view sourceText) {
  page += "<h2>Analysis findings</h2>";
  if (findings.empty()) {
    page += "<p>The analysis found nothing to report.</p>";
    return;
  }
  page +=
      "<table><tr><th>line:column</th><th></th><th>name</th><th>explanation</th><th>text</th>"
      "</tr>";
  const PhysicalLines lines(sourceText);
  for (const Finding& finding : findings) {
    const FindingText text = DescribeFinding(finding.code);
    const SourcePlace place = lines.placeOf(finding.at);
    page += "<tr>";
    appendCell(page, std::to_string(place.line) + ":" + std::to_string(place.column), true);
    appendCell(page, text.warning ? "warning" : "error");
    appendCell(page, text.name);
    appendCell(page, text.explanation);
    page += "<td><pre>";
    appendEscaped(page, place.text);
    page += "</pre></td></tr>";
  }
  page += "</table>";
}

}  // namespace

void TimelinePage::dayStarted(const SimMoment& when) {
  if (days_.size() < kFullDays) {
    days_.push_back({when, {}});
    return;
  }
  if (months_.empty() || months_.back().date.month != when.month ||
      months_.back().date.year != when.year) {
    months_.push_back({when});
  }
  ++months_.back().days;
}

void TimelinePage::minuteSettled(const MinuteOutcome& outcome) {
  const MarkKind kind = outcome.line == MinuteLine::Command  ? kCommand
                        : outcome.line == MinuteLine::Silent ? kSilent
                                                             : kNoPrecedence;
  const uint8_t eventKind = outcome.winner != nullptr ? outcome.winner->kind : 0;
  const bool doubled = outcome.due.size() > 1;
  if (months_.empty()) {
    if (days_.empty()) {
      return;
    }
    days_.back().marks.push_back(
        {static_cast<int16_t>(outcome.when.hour * 60 + outcome.when.minute), eventKind, kind,
         doubled, std::string(trimmed(outcome.text))});
    return;
  }
  Month& month = months_.back();
  if (kind == kNoPrecedence) {
    ++month.noPrecedence;
  } else if (eventKind >= SENDSTRING && eventKind <= DEFAULTWEBPAGE) {
    ++month.runs[eventKind - SENDSTRING];
  }
  month.doubled += doubled ? 1 : 0;
}

void TimelinePage::commandChanged(const CommandChange& change) {
  const SimMoment& when = change.when;
  const auto sameDay = [&when](const SimMoment& day) {
    return day.year == when.year && day.month == when.month && day.day == when.day;
  };
  for (auto day = days_.rbegin(); day != days_.rend(); ++day) {
    if (sameDay(day->date)) {
      day->marks.push_back({static_cast<int16_t>(when.hour * 60 + when.minute), 0,
                            change.added ? kAdded : kGone, false,
                            (change.added ? "+" : "-") + std::string(change.text)});
      return;
    }
  }
  for (auto month = months_.rbegin(); month != months_.rend(); ++month) {
    if (month->date.year == when.year && month->date.month == when.month) {
      ++month->changed;
      return;
    }
  }
}

void TimelinePage::renderDays(std::string& page) const {
  page += "<h2>Day by day</h2><div class=\"axis\">";
  for (int hour = 0; hour < 24; hour += 3) {
    page += "<span>" + std::to_string(hour) + ":00</span>";
  }
  page += "</div>";
  char position[32];
  for (const Day& day : days_) {
    page += "<div class=\"row\"><span class=\"lab\">";
    page += weekdayShort(day.date);
    page += " " + DateText(day.date) + "</span><div class=\"track\">";
    for (const Mark& mark : day.marks) {
      std::snprintf(position, sizeof position, "%.2f", mark.minuteOfDay * 100.0 / 1440.0);
      page += "<b class=\"m";
      page += mark.kind == kNoPrecedence ? " u"
              : mark.kind == kAdded      ? " n"
              : mark.kind == kGone       ? " g"
                                         : " k" + std::to_string(mark.eventKind);
      page += mark.kind == kSilent ? " s" : "";
      page += mark.doubled ? " d" : "";
      page += "\" style=\"left:";
      page += position;
      page += "%\" title=\"";
      appendEscaped(page, mark.text.empty() ? std::string_view(EventKeyword(mark.eventKind))
                                            : std::string_view(mark.text));
      page += "\"></b>";
    }
    page += "</div></div>";
  }
}

void TimelinePage::renderMonths(std::string& page) const {
  if (months_.empty()) {
    return;
  }
  page +=
      "<h2>Month by month</h2><p>After the first five weeks, the runs of each month by event "
      "kind.</p><table><tr><th>month</th><th>days</th>";
  for (size_t i = 0; i < kKindColours.size(); ++i) {
    page += "<th><b class=\"m k" + std::to_string(SENDSTRING + i) +
            "\" style=\"position:static;display:inline-block\"></b> ";
    page += EventKeyword(static_cast<uint8_t>(SENDSTRING + i));
    page += "</th>";
  }
  page += "<th>double occupancy</th><th>no precedence</th>";
  page += changesShown_ ? "<th>changed</th></tr>" : "</tr>";
  char label[16];
  for (const Month& month : months_) {
    std::snprintf(label, sizeof label, "%04d-%02d", 2000 + month.date.year, month.date.month);
    page += "<tr>";
    appendCell(page, label);
    appendCell(page, std::to_string(month.days), true);
    for (const uint64_t runs : month.runs) {
      appendCell(page, runs == 0 ? "" : std::to_string(runs), true);
    }
    appendCell(page, std::to_string(month.doubled), true);
    appendCell(page, std::to_string(month.noPrecedence), true);
    if (changesShown_) {
      appendCell(page, std::to_string(month.changed), true);
    }
    page += "</tr>";
  }
  page += "</table>";
}

std::string TimelinePage::render(const std::string& scheduleName, const RunSummary& summary,
                                 const std::vector<Finding>& findings,
                                 std::string_view sourceText) const {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/><title>planprobe "
      "timeline: ";
  appendEscapedName(page, scheduleName);
  page += "</title><style>";
  page += kStyle;
  for (size_t i = 0; i < kKindColours.size(); ++i) {
    page += ".k" + std::to_string(SENDSTRING + i) + "{background:" + kKindColours[i] + "}";
  }
  page += "</style></head><body><h1>Timeline of ";
  appendEscapedName(page, scheduleName);
  page += "</h1><p>";
  if (summary.firstDay()) {
    page += "Simulated " + std::to_string(summary.days()) + " day(s), " +
            DateText(*summary.firstDay()) + " to " + DateText(*summary.lastDay()) +
            ". Rest the pointer on a mark to see its log line.";
  } else {
    page += "No simulation was run.";
  }
  page += "</p>";
  renderLegend(page, changesShown_);
  renderDays(page);
  renderMonths(page);
  renderSummary(page, summary);
  renderFindings(page, findings, sourceText);
  page += "</body></html>\n";
  return page;
}

}  // namespace quillmar::planprobe
