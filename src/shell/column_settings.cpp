#include "shell/column_settings.h"

#include <algorithm>

#include "shell/text_utils.h"

namespace qm {

namespace {
std::string Key(size_t n, const char* suffix) { return "Column" + std::to_string(n) + suffix; }
}  // namespace

void LoadColumns(const IniFile& ini, std::vector<ColumnDesc>& columns, const std::string& section) {
  if (!ini.SectionExists(section)) return;
  // Work in the current display order so that unnamed columns keep theirs.
  std::vector<ColumnDesc*> order;
  for (auto& c : columns) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->position < b->position; });
  for (size_t n = 0; n < columns.size(); ++n) {
    std::string name = ini.ReadString(section, Key(n, "_Name"), "");
    auto it = std::find_if(order.begin(), order.end(), [&](auto* c) { return SameTextAscii(c->name, name); });
    if (name.empty() || it == order.end()) continue;
    ColumnDesc* c = *it;
    c->visible = ini.ReadBool(section, Key(n, "_Visible"), true);
    c->width = ini.ReadInteger(section, Key(n, "_Width"), c->width);
    int sort = ini.ReadInteger(section, Key(n, "_Sort"), 0);
    c->sort = (sort == 1 || sort == 2) ? static_cast<ColumnSort>(sort) : ColumnSort::None;
    order.erase(it);
    order.insert(order.begin() + static_cast<long>(std::min(n, order.size())), c);
  }
  for (size_t i = 0; i < order.size(); ++i) order[i]->position = static_cast<int>(i);
}

void SaveColumns(IniFile& ini, const std::vector<ColumnDesc>& columns, const std::string& section) {
  std::vector<const ColumnDesc*> order;
  for (const auto& c : columns) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->position < b->position; });
  IniFile::UpdateScope batch(ini);
  ini.EraseSection(section);
  for (size_t n = 0; n < order.size(); ++n) {
    ini.WriteString(section, Key(n, "_Name"), order[n]->name);
    ini.WriteBool(section, Key(n, "_Visible"), order[n]->visible);
    ini.WriteInteger(section, Key(n, "_Width"), order[n]->width);
    ini.WriteInteger(section, Key(n, "_Sort"), static_cast<int>(order[n]->sort));
  }
}

}  // namespace qm
