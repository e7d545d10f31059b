// The dialogs' layout stands twice: in the Windows resource script, which the native dialog is
// made of, and in the templates the Qt dialog builds its widgets from. This reads the script as
// text and holds every dialog's caption and size, and every control's id, kind, text and
// rectangle, to the templates, control by control in tab order.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ui/common/dialog_resources.h"

namespace quillmar::ui {
namespace {

// One control or dialog as both sources give it; `kind` names the template's ControlKind.
struct Control {
  int id = 0;
  std::string kind;
  std::string text;
  int x = 0, y = 0, w = 0, h = 0;
};

// One dialog: caption, size in dialog units and its controls in tab order.
struct Dialog {
  std::string caption;
  int w = 0, h = 0;
  std::vector<Control> controls;
};

// The templates' kinds by name, so that a message says which kind differs.
std::string kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::DefaultButton:
      return "DefaultButton";
    case ControlKind::Button:
      return "Button";
    case ControlKind::GroupBox:
      return "GroupBox";
    case ControlKind::Label:
      return "Label";
    case ControlKind::ProgressBar:
      return "ProgressBar";
    case ControlKind::RadioButton:
      return "RadioButton";
    case ControlKind::Icon:
      return "Icon";
    case ControlKind::ComboBox:
      return "ComboBox";
    case ControlKind::CheckBox:
      return "CheckBox";
  }
  return "?";
}

// A template as the same plain record the script gives.
Dialog fromTemplate(const DialogLayout& layout) {
  Dialog dialog{layout.caption, layout.w, layout.h, {}};
  for (const ControlRow& row : layout.controls)
    dialog.controls.push_back({row.id, kindName(row.kind), row.text, row.x, row.y, row.w, row.h});
  return dialog;
}

// The whole text of a source file.
std::string readFile(const char* path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The identifiers of resource.h, with the ones the script takes from <windows.h>.
std::map<std::string, int> readIds(const std::string& header) {
  std::map<std::string, int> ids{{"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_STATIC", -1}};
  const std::regex define(R"(#define\s+(\w+)\s+\(?(-?\d+)\)?)");
  for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
    ids[(*it)[1]] = std::stoi((*it)[2]);
  return ids;
}

// The comma-separated fields of a control statement, quotes taken off its texts.
std::vector<std::string> fields(const std::string& rest) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (char c : rest) {
    if (c == '"')
      quoted = !quoted;
    else if (c == ',' && !quoted)
      out.emplace_back();
    else if (quoted || !std::isspace(static_cast<unsigned char>(c)))
      out.back() += c;
  }
  return out;
}

// One control statement of the script in the template's terms. The short forms are
// `KEYWORD "text", id, x, y, w, h[, style]` (COMBOBOX without the text, ICON with the icon's
// resource in its place), the general one `CONTROL "text", id, "class", style, x, y, w, h`.
Control readControl(const std::string& keyword, const std::string& rest,
                    const std::map<std::string, int>& ids) {
  static const std::map<std::string, std::string> kinds{{"DEFPUSHBUTTON", "DefaultButton"},
                                                        {"PUSHBUTTON", "Button"},
                                                        {"GROUPBOX", "GroupBox"},
                                                        {"LTEXT", "Label"},
                                                        {"ICON", "Icon"},
                                                        {"COMBOBOX", "ComboBox"},
                                                        {"AUTOCHECKBOX", "CheckBox"}};
  std::vector<std::string> f = fields(rest);
  Control control;
  size_t place = 2;
  if (keyword == "CONTROL") {
    control.kind = f.at(2) == "msctls_progress32"                            ? "ProgressBar"
                   : f.at(3).find("BS_AUTORADIOBUTTON") != std::string::npos ? "RadioButton"
                                                                             : "CONTROL " + f.at(2);
    place = 4;
  } else {
    control.kind = kinds.count(keyword) ? kinds.at(keyword) : keyword;
    if (keyword == "COMBOBOX")
      f.insert(f.begin(), "");
    if (keyword == "ICON")
      f.front() = "";  // an icon shows no text
  }
  control.text = f.at(0);
  control.id = ids.count(f.at(1)) ? ids.at(f.at(1)) : std::stoi(f.at(1));
  control.x = std::stoi(f.at(place));
  control.y = std::stoi(f.at(place + 1));
  control.w = std::stoi(f.at(place + 2));
  control.h = std::stoi(f.at(place + 3));
  return control;
}

// The script's dialogs by resource name.
std::map<std::string, Dialog> readScript(const std::string& script,
                                         const std::map<std::string, int>& ids) {
  std::map<std::string, Dialog> dialogs;
  const std::regex start(R"(^(\w+)\s+DIALOG(?:EX)?\s+-?\d+\s*,\s*-?\d+\s*,\s*(\d+)\s*,\s*(\d+))");
  const std::regex caption(R"-(^CAPTION\s+"(.*)")-");
  const std::regex control(R"(^(\w+)\s+(.*)$)");
  std::istringstream lines(script);
  std::string line;
  Dialog* open = nullptr;
  bool inside = false;
  std::smatch m;
  while (std::getline(lines, line)) {
    line = std::regex_replace(line, std::regex(R"(^\s+|\s+$)"), "");
    if (line.empty() || line.starts_with("//"))
      continue;
    if (std::regex_search(line, m, start)) {
      open = &dialogs[m[1]];
      open->w = std::stoi(m[2]);
      open->h = std::stoi(m[3]);
    } else if (open && !inside && std::regex_search(line, m, caption)) {
      open->caption = m[1];
    } else if (open && line == "BEGIN") {
      inside = true;
    } else if (open && line == "END") {
      open = nullptr;
      inside = false;
    } else if (inside && std::regex_search(line, m, control)) {
      open->controls.push_back(readControl(m[1], m[2], ids));
    }
  }
  return dialogs;
}

// Where the two may differ by intent: the value each gives, and why.
struct Difference {
  const char* dialog;
  int id;
  const char* field;
  std::string script, table;
  const char* why;
};
const Difference kIntended[] = {
    {"IDD_QUILLMAR_UPDATE_DIALOG", kIdPortList, "h", "100", "12",
     "a Windows drop-down list's height takes in its open list; the template's is the box's"},
    {"IDD_RESTORE_DIALOG", kIdCopyList, "h", "100", "12",
     "a Windows drop-down list's height takes in its open list; the template's is the box's"},
    {"IDD_ABOUTBOX", kIdAboutVersion, "text", "", kAboutVersionLine,
     "the Windows program writes the version line when the box opens"},
};

// Compares one field; an intended difference must still be exactly the one listed.
void expectSame(const std::string& dialog, int id, const char* field, const std::string& script,
                const std::string& table) {
  for (const Difference& d : kIntended)
    if (dialog == d.dialog && id == d.id && std::string(field) == d.field) {
      EXPECT_EQ(script, d.script) << dialog << " control " << id << " " << field << ": " << d.why;
      EXPECT_EQ(table, d.table) << dialog << " control " << id << " " << field << ": " << d.why;
      return;
    }
  EXPECT_EQ(script, table) << dialog << " control " << id << " " << field
                           << " (the resource script first, the template second)";
}

TEST(DialogLayoutsTest, ResourceScriptMatchesTheTemplates) {
  const std::map<std::string, Dialog> script =
      readScript(readFile(QUILLMAR_DIALOG_RC), readIds(readFile(QUILLMAR_DIALOG_IDS)));
  const std::pair<const char*, const DialogLayout*> pairs[] = {
      {"IDD_QUILLMAR_UPDATE_DIALOG", &kUpdaterDialogLayout},
      {"IDD_HELP_DIALOG", &kHelpDialogLayout},
      {"IDD_ABOUTBOX", &kAboutDialogLayout},
      {"IDD_RESTORE_DIALOG", &kRestoreDialogLayout},
      {"IDD_SEVERAL_UNITS_DIALOG", &kSeveralUnitsDialogLayout},
  };
  ASSERT_EQ(script.size(), std::size(pairs)) << "the resource script's dialogs";
  for (const auto& [name, layout] : pairs) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(script.count(name)) << name << " is missing from the resource script";
    const Dialog& rc = script.at(name);
    const Dialog table = fromTemplate(*layout);
    EXPECT_EQ(rc.caption, table.caption);
    EXPECT_EQ(rc.w, table.w);
    EXPECT_EQ(rc.h, table.h);
    ASSERT_EQ(rc.controls.size(), table.controls.size()) << "controls of " << name;
    for (size_t i = 0; i < rc.controls.size(); ++i) {
      const Control& a = rc.controls[i];
      const Control& b = table.controls[i];
      EXPECT_EQ(a.id, b.id) << name << ": control " << i + 1 << " in tab order";
      expectSame(name, b.id, "kind", a.kind, b.kind);
      expectSame(name, b.id, "text", a.text, b.text);
      expectSame(name, b.id, "x", std::to_string(a.x), std::to_string(b.x));
      expectSame(name, b.id, "y", std::to_string(a.y), std::to_string(b.y));
      expectSame(name, b.id, "w", std::to_string(a.w), std::to_string(b.w));
      expectSame(name, b.id, "h", std::to_string(a.h), std::to_string(b.h));
    }
  }
}

}  // namespace
}  // namespace quillmar::ui
