#include "controls/param_tree/param_tree_model.hpp"

#include <algorithm>
#include <limits>

#include "base/text.hpp"

namespace kovan {

namespace {

constexpr std::string_view kHrefOpen = "href=\"";

// Inline here: the searches below run over every node text the tree builds.
constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Lower(c);
  return out;
}

// Case-insensitive (ASCII) search of `needle` in `hay` from `from` on.
size_t IFind(std::string_view hay, std::string_view needle, size_t from = 0) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  const char first = Lower(needle[0]);
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    if (Lower(hay[i]) != first) continue;
    size_t k = 1;
    while (k < needle.size() && Lower(hay[i + k]) == Lower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

bool LocationLess(const ParamLocation& a, const ParamLocation& b) {
  return a.node != b.node ? a.node < b.node : a.indexInNode < b.indexInNode;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The value of `name="..."` inside a tag's text (between `<` and `>`).
std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view name) {
  const std::string pattern = std::string(name) + "=\"";
  for (size_t at = IFind(tag, pattern); at != std::string_view::npos; at = IFind(tag, pattern, at + 1)) {
    if (at == 0 || !IsSpace(tag[at - 1])) continue;
    const size_t begin = at + pattern.size();
    const size_t end = tag.find('"', begin);
    if (end == std::string_view::npos) return std::nullopt;
    return tag.substr(begin, end - begin);
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> ParseColor(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  uint32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return std::nullopt;
    rgb = rgb << 4 | static_cast<uint32_t>(d);
  }
  return rgb;
}

// Entities as drawn: one pass from left to right.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool decoded = false;
    if (text[i] == '&') {
      for (const auto& [entity, c] : kEntities) {
        if (text.substr(i, entity.size()) == entity) {
          out += c;
          i += entity.size();
          decoded = true;
          break;
        }
      }
    }
    if (!decoded) out += text[i++];
  }
  return out;
}

class MarkupReader {
 public:
  explicit MarkupReader(std::string_view text) : text_(text) { markup_.params = FindParamAnchors(text); }

  NodeMarkup Read() {
    size_t i = 0;
    while (i < text_.size()) {
      const size_t lt = text_.find('<', i);
      if (lt == std::string_view::npos) {
        AddText(text_.substr(i));
        break;
      }
      AddText(text_.substr(i, lt - i));
      const size_t gt = text_.find('>', lt + 1);
      if (gt == std::string_view::npos) {
        AddText(text_.substr(lt));
        break;
      }
      Tag(lt, text_.substr(lt + 1, gt - lt - 1));
      i = gt + 1;
    }
    CloseParam();
    return std::move(markup_);
  }

 private:
  void AddText(std::string_view raw) {
    if (raw.empty()) return;
    const std::string text = DecodeEntities(raw);
    if (openParam_ >= 0) paramHasRun_ = true;
    if (!markup_.runs.empty()) {
      MarkupRun& last = markup_.runs.back();
      if (last.kind == MarkupRun::Kind::Text && last.bold == (bold_ > 0) && last.italic == (italic_ > 0) &&
          last.color == color_ && last.param == openParam_) {
        last.text += text;
        return;
      }
    }
    PushRun(MarkupRun::Kind::Text, text);
  }

  void PushRun(MarkupRun::Kind kind, std::string text) {
    MarkupRun run;
    run.kind = kind;
    run.text = std::move(text);
    run.bold = bold_ > 0;
    run.italic = italic_ > 0;
    run.color = color_;
    run.param = openParam_;
    markup_.runs.push_back(std::move(run));
  }

  // Ends the open anchor; one that drew nothing still gets its empty run.
  void CloseParam() {
    if (openParam_ >= 0 && !paramHasRun_) PushRun(MarkupRun::Kind::Text, "");
    openParam_ = -1;
    paramHasRun_ = false;
  }

  void Tag(size_t at, std::string_view tag) {
    const bool closing = !tag.empty() && tag[0] == '/';
    const std::string_view rest = closing ? tag.substr(1) : tag;
    size_t nameEnd = 0;
    while (nameEnd < rest.size() && !IsSpace(rest[nameEnd]) && rest[nameEnd] != '/') ++nameEnd;
    const std::string_view name = rest.substr(0, nameEnd);
    if (AsciiIEquals(name, "b")) {
      bold_ = closing ? std::max(0, bold_ - 1) : bold_ + 1;
    } else if (AsciiIEquals(name, "i")) {
      italic_ = closing ? std::max(0, italic_ - 1) : italic_ + 1;
    } else if (AsciiIEquals(name, "font")) {
      if (closing) {
        color_.reset();
      } else if (const auto color = TagAttribute(tag, "color")) {
        if (const auto rgb = ParseColor(*color)) color_ = rgb;
      }
    } else if (AsciiIEquals(name, "img") && !closing) {
      const auto src = TagAttribute(tag, "src");
      if (src && src->size() >= 5 && AsciiIEquals(src->substr(0, 5), "ssys:")) {
        PushRun(MarkupRun::Kind::Icon, std::string(src->substr(5)));
      }
    } else if (AsciiIEquals(name, "a")) {
      CloseParam();
      if (closing) return;
      const size_t end = at + 1 + tag.size();
      for (size_t k = 0; k < markup_.params.size(); ++k) {
        const size_t href = markup_.params[k].hrefBegin;
        if (href > at && href < end) {
          openParam_ = static_cast<int>(k);
          break;
        }
      }
    }
  }

  std::string_view text_;
  NodeMarkup markup_;
  int bold_ = 0;
  int italic_ = 0;
  std::optional<uint32_t> color_;
  int openParam_ = -1;
  bool paramHasRun_ = false;
};

}  // namespace

std::string EscapeParamValue(std::string_view value) {
  std::string out(value);
  if (value.find_first_of("&<>\"") == std::string_view::npos) return out;
  ReplaceAll(out, "&", "&amp;");
  ReplaceAll(out, "<", "&lt;");
  ReplaceAll(out, ">", "&gt;");
  ReplaceAll(out, "\"", "&quot;");
  return out;
}

std::string UnescapeParamValue(std::string_view raw) {
  std::string out(raw);
  ReplaceAll(out, "&lt;", "<");
  ReplaceAll(out, "&gt;", ">");
  ReplaceAll(out, "&amp;", "&");
  ReplaceAll(out, "&quot;", "\"");
  return out;
}

std::vector<ParamAnchor> FindParamAnchors(std::string_view text) {
  std::vector<ParamAnchor> anchors;
  size_t from = 0;
  for (size_t href = IFind(text, kHrefOpen); href != std::string_view::npos; href = IFind(text, kHrefOpen, from)) {
    const size_t nameBegin = href + kHrefOpen.size();
    const size_t quote = text.find('"', nameBegin);
    if (quote == std::string_view::npos) break;
    ParamAnchor anchor;
    anchor.name = std::string(text.substr(nameBegin, quote - nameBegin));
    anchor.hrefBegin = href;
    anchor.nameBegin = nameBegin;
    const size_t gt = text.find('>', quote + 1);
    size_t tagBegin = text.rfind('<', href);
    if (tagBegin == std::string_view::npos) tagBegin = 0;
    const size_t tagEnd = gt == std::string_view::npos ? text.size() : gt;
    if (const auto cls = TagAttribute(text.substr(tagBegin, tagEnd - tagBegin), "class")) {
      anchor.paramClass = AsciiUpper(*cls);
    }
    if (gt != std::string_view::npos) {
      const size_t lt = text.find('<', gt + 1);
      if (lt != std::string_view::npos) {
        anchor.rawValue = std::string(text.substr(gt + 1, lt - gt - 1));
        anchor.valueBegin = gt + 1;
        anchor.valueEnd = lt;
      }
    }
    anchors.push_back(std::move(anchor));
    from = quote + 1;
  }
  return anchors;
}

size_t CountHrefs(std::string_view text) {
  size_t count = 0;
  for (size_t at = IFind(text, "href="); at != std::string_view::npos; at = IFind(text, "href=", at + 5)) ++count;
  return count;
}

std::optional<std::string> ReadRawParam(std::string_view text, std::string_view name) {
  for (ParamAnchor& anchor : FindParamAnchors(text)) {
    if (AsciiIEquals(anchor.name, name)) return std::move(anchor.rawValue);
  }
  return std::nullopt;
}

bool WriteRawParam(std::string& text, std::string_view name, std::string_view rawValue) {
  for (const ParamAnchor& anchor : FindParamAnchors(text)) {
    if (!AsciiIEquals(anchor.name, name)) continue;
    if (!anchor.rawValue) return false;
    const std::string old = ">" + *anchor.rawValue + "</";
    const size_t at = IFind(text, old, anchor.hrefBegin);
    if (at == std::string::npos) return false;
    text.replace(at, old.size(), ">" + std::string(rawValue) + "</");
    return true;
  }
  return false;
}

NodeMarkup ReadMarkup(std::string_view text) { return MarkupReader(text).Read(); }

// --- ParamTreeModel: nodes

void ParamTreeModel::Clear() {
  nodes_.clear();
  firstParam_.assign(1, 0);
  byName_.clear();
  namesIndexed_ = false;
  indexOfId_.clear();
  firstId_ = nextId_;
  hrefTotal_ = 0;
  selected_.reset();
  focusedParam_ = 0;
  edit_.reset();
  if (listener_) listener_->Cleared();
}

void ParamTreeModel::Reserve(size_t nodes) {
  nodes_.reserve(nodes);
  firstParam_.reserve(nodes + 1);
  indexOfId_.reserve(indexOfId_.size() + nodes);
}

size_t ParamTreeModel::AddRoot(std::string text) { return InsertNode(nodes_.size(), 0, std::move(text), false); }

size_t ParamTreeModel::AddChild(size_t parent, std::string text) {
  return InsertNode(SubtreeEnd(parent), nodes_[parent].level + 1, std::move(text), !nodes_[parent].childrenShown);
}

const std::string& ParamTreeModel::NodeText(size_t index) {
  if (nodes_[index].awaitsFill) {
    if (const std::optional<size_t> parent = Parent(index)) ShowChildren(*parent);
  }
  return nodes_[index].text;
}

void ParamTreeModel::ShowChildren(size_t node) {
  if (nodes_[node].childrenShown) return;
  nodes_[node].childrenShown = true;
  const int level = nodes_[node].level;
  for (size_t child = node + 1; child < nodes_.size() && nodes_[child].level > level; ++child) {
    if (nodes_[child].level == level + 1) nodes_[child].awaitsFill = false;
  }
  if (OnChildrenFirstShown) OnChildrenFirstShown(*this, node);
}

size_t ParamTreeModel::SubtreeEnd(size_t index) const {
  size_t end = index + 1;
  while (end < nodes_.size() && nodes_[end].level > nodes_[index].level) ++end;
  return end;
}

// The names are found as FindParamAnchors finds its anchors.
void ParamTreeModel::ParseNode(Node& node) const {
  node.names.clear();
  node.paramCount = 0;
  node.hrefs = CountHrefs(node.text);
  if (node.hrefs == 0) return;  // every anchor starts with one
  const std::string_view text = node.text;
  size_t from = 0;
  for (size_t href = IFind(text, kHrefOpen); href != std::string_view::npos; href = IFind(text, kHrefOpen, from)) {
    const size_t nameBegin = href + kHrefOpen.size();
    const size_t quote = text.find('"', nameBegin);
    if (quote == std::string_view::npos) break;
    for (size_t k = nameBegin; k < quote; ++k) node.names += Lower(text[k]);
    node.names += '"';
    ++node.paramCount;
    from = quote + 1;
  }
}

std::string_view ParamTreeModel::NameAt(const Node& node, size_t k) {
  size_t begin = 0;
  for (; k > 0; --k) begin = node.names.find('"', begin) + 1;
  return std::string_view(node.names).substr(begin, node.names.find('"', begin) - begin);
}

void ParamTreeModel::Places::insert(const ParamLocation& place) {
  if (!any_) {
    first_ = place;
    any_ = true;
  } else if (LocationLess(place, first_)) {
    rest_.insert(rest_.begin(), first_);
    first_ = place;
  } else {
    rest_.insert(std::upper_bound(rest_.begin(), rest_.end(), place, LocationLess), place);
  }
}

void ParamTreeModel::Places::erase(const ParamLocation& place) {
  if (any_ && first_ == place) {
    if (rest_.empty()) {
      any_ = false;
    } else {
      first_ = rest_.front();
      rest_.erase(rest_.begin());
    }
    return;
  }
  std::erase(rest_, place);
}

void ParamTreeModel::Places::Shift(size_t from, std::ptrdiff_t delta) {
  auto shift = [&](ParamLocation& place) {
    if (place.node >= from) place.node = static_cast<size_t>(static_cast<std::ptrdiff_t>(place.node) + delta);
  };
  if (any_) shift(first_);
  for (ParamLocation& place : rest_) shift(place);
}

size_t ParamTreeModel::InsertNode(size_t at, int level, std::string text, bool awaitsFill) {
  Node node;
  node.id = nextId_++;
  node.level = level;
  node.awaitsFill = awaitsFill;
  node.text = std::move(text);
  ParseNode(node);
  hrefTotal_ += node.hrefs;
  if (at == nodes_.size()) {
    firstParam_.push_back(firstParam_.back() + node.paramCount);
    nodes_.push_back(std::move(node));
  } else {
    ShiftIndexes(at, 1);
    nodes_.insert(nodes_.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
    firstParam_.insert(firstParam_.begin() + static_cast<std::ptrdiff_t>(at), firstParam_[at]);
    RecountFrom(at);
  }
  indexOfId_.push_back(at);  // ids come one by one: this one is firstId_ + size
  IndexNode(at);
  if (listener_) listener_->NodesInserted(at, 1);
  return at;
}

void ParamTreeModel::DeleteNode(size_t index) {
  const size_t end = SubtreeEnd(index);
  const size_t count = end - index;
  for (size_t k = index; k < end; ++k) {
    UnindexNode(k);
    indexOfId_[nodes_[k].id - firstId_] = kNoNode;
    hrefTotal_ -= nodes_[k].hrefs;
  }
  if (selected_ && *selected_ >= index && *selected_ < end) {
    selected_.reset();
    focusedParam_ = 0;
  }
  ShiftIndexes(end, -static_cast<std::ptrdiff_t>(count));
  nodes_.erase(nodes_.begin() + static_cast<std::ptrdiff_t>(index), nodes_.begin() + static_cast<std::ptrdiff_t>(end));
  firstParam_.erase(firstParam_.begin() + static_cast<std::ptrdiff_t>(index + 1),
                    firstParam_.begin() + static_cast<std::ptrdiff_t>(end + 1));
  RecountFrom(index);
  if (listener_) listener_->NodesDeleted(index, count);
}

void ParamTreeModel::ShiftIndexes(size_t from, std::ptrdiff_t delta) {
  auto shifted = [delta](size_t index) { return static_cast<size_t>(static_cast<std::ptrdiff_t>(index) + delta); };
  if (namesIndexed_) {
    for (auto& [name, places] : byName_) places.Shift(from, delta);
  }
  for (size_t k = from; k < nodes_.size(); ++k) indexOfId_[nodes_[k].id - firstId_] = shifted(k);
  if (selected_ && *selected_ >= from) selected_ = shifted(*selected_);
}

void ParamTreeModel::RecountFrom(size_t index) {
  for (size_t k = index; k < nodes_.size(); ++k) firstParam_[k + 1] = firstParam_[k] + nodes_[k].paramCount;
}

void ParamTreeModel::IndexAllNames() const {
  if (namesIndexed_) return;
  namesIndexed_ = true;
  byName_.reserve(firstParam_.back());
  for (size_t index = 0; index < nodes_.size(); ++index) AddToNameIndex(index);
}

void ParamTreeModel::IndexNode(size_t index) {
  if (namesIndexed_) AddToNameIndex(index);
}

void ParamTreeModel::AddToNameIndex(size_t index) const {
  const Node& node = nodes_[index];
  for (size_t k = 0; k < node.paramCount; ++k) {
    const std::string_view name = NameAt(node, k);
    auto it = byName_.find(name);
    if (it == byName_.end()) it = byName_.emplace(std::string(name), Places()).first;
    it->second.insert(ParamLocation{index, k});
  }
}

void ParamTreeModel::UnindexNode(size_t index) {
  if (!namesIndexed_) return;
  const Node& node = nodes_[index];
  for (size_t k = 0; k < node.paramCount; ++k) {
    const auto it = byName_.find(NameAt(node, k));
    if (it == byName_.end()) continue;
    it->second.erase(ParamLocation{index, k});
    if (it->second.empty()) byName_.erase(it);
  }
}

void ParamTreeModel::SetNodeText(size_t index, std::string text) { ReplaceText(index, std::move(text)); }

void ParamTreeModel::ReplaceText(size_t index, std::string text) {
  Node& node = nodes_[index];
  if (node.text == text) return;
  UnindexNode(index);
  hrefTotal_ -= node.hrefs;
  const size_t oldCount = node.paramCount;
  node.text = std::move(text);
  ParseNode(node);
  hrefTotal_ += node.hrefs;
  IndexNode(index);
  if (node.paramCount != oldCount) RecountFrom(index);
  if (listener_) listener_->NodeTextChanged(index);
}

std::optional<size_t> ParamTreeModel::Parent(size_t index) const {
  const int level = nodes_[index].level;
  if (level == 0) return std::nullopt;
  for (size_t k = index; k-- > 0;) {
    if (nodes_[k].level < level) return k;
  }
  return std::nullopt;
}

bool ParamTreeModel::HasChildren(size_t index) const {
  return index + 1 < nodes_.size() && nodes_[index + 1].level > nodes_[index].level;
}

std::optional<size_t> ParamTreeModel::IndexOf(NodeId id) const {
  if (id < firstId_ || id - firstId_ >= indexOfId_.size()) return std::nullopt;
  const size_t index = indexOfId_[id - firstId_];
  if (index == kNoNode) return std::nullopt;
  return index;
}

std::optional<size_t> ParamTreeModel::NextSibling(size_t index) const {
  const size_t end = SubtreeEnd(index);
  if (end < nodes_.size() && nodes_[end].level == nodes_[index].level) return end;
  return std::nullopt;
}

std::vector<size_t> ParamTreeModel::ShownNodes() const {
  std::vector<size_t> shown;
  shown.reserve(nodes_.size());
  // Below a collapsed node, everything deeper than it is hidden.
  int hiddenBelow = std::numeric_limits<int>::max();
  for (size_t i = 0; i < nodes_.size(); ++i) {
    const int level = nodes_[i].level;
    if (level > hiddenBelow) continue;
    hiddenBelow = nodes_[i].expanded ? std::numeric_limits<int>::max() : level;
    shown.push_back(i);
  }
  return shown;
}

void ParamTreeModel::SetExpanded(size_t index, bool expanded) { nodes_[index].expanded = expanded; }

void ParamTreeModel::SetAllExpanded(bool expanded) {
  for (Node& node : nodes_) node.expanded = expanded;
  if (listener_) listener_->AllExpandedChanged(expanded);
}

void ParamTreeModel::SelectNode(std::optional<size_t> index) {
  selected_ = index;
  if (index) {
    for (auto parent = Parent(*index); parent; parent = Parent(*parent)) nodes_[*parent].expanded = true;
    if (focusedParam_ >= NodeParamCount(*index)) focusedParam_ = 0;
  }
  if (listener_) listener_->SelectionChanged(index);
}

// --- Parameters

const ParamLocation* ParamTreeModel::First(std::string_view name) const {
  IndexAllNames();
  const auto it = byName_.find(LowerCopy(name));
  return it == byName_.end() || it->second.empty() ? nullptr : &it->second.front();
}

std::string ParamTreeModel::GetParamValue(std::string_view name) const {
  const ParamLocation* place = First(name);
  if (!place) return {};
  const std::optional<std::string> raw = ReadRawParam(nodes_[place->node].text, name);
  return raw ? UnescapeParamValue(*raw) : std::string();
}

std::optional<ParamLocation> ParamTreeModel::ParamAt(size_t globalIndex) const {
  if (globalIndex >= firstParam_.back()) return std::nullopt;
  const auto it = std::upper_bound(firstParam_.begin(), firstParam_.end() - 1, globalIndex);
  const size_t node = static_cast<size_t>(it - firstParam_.begin()) - 1;
  return ParamLocation{node, globalIndex - firstParam_[node]};
}

std::string ParamTreeModel::ParamName(size_t globalIndex) const {
  const std::optional<ParamLocation> place = ParamAt(globalIndex);
  return place ? AsciiUpper(NameAt(nodes_[place->node], place->indexInNode)) : std::string();
}

std::optional<size_t> ParamTreeModel::ParamIndex(std::string_view name) const {
  const ParamLocation* place = First(name);
  if (!place) return std::nullopt;
  return firstParam_[place->node] + place->indexInNode;
}

std::optional<size_t> ParamTreeModel::ParamNode(std::string_view name) const {
  const ParamLocation* place = First(name);
  if (!place) return std::nullopt;
  return place->node;
}

std::optional<size_t> ParamTreeModel::ParamIndexInNode(size_t node, std::string_view name) const {
  for (size_t k = 0; k < nodes_[node].paramCount; ++k) {
    if (AsciiIEquals(NameAt(nodes_[node], k), name)) return k;
  }
  return std::nullopt;
}

std::optional<ParamLocation> ParamTreeModel::NextParam(std::string_view name) const {
  const std::optional<size_t> index = ParamIndex(name);
  if (!index) return std::nullopt;
  const std::optional<ParamLocation> next = ParamAt((*index + 1) % firstParam_.back());
  return *First(NameAt(nodes_[next->node], next->indexInNode));
}

void ParamTreeModel::SetParamValue(size_t node, std::string_view name, std::string_view value) {
  for (const ParamAnchor& anchor : FindParamAnchors(nodes_[node].text)) {
    if (!AsciiIEquals(anchor.name, name)) continue;
    if (!anchor.rawValue) return;
    const std::string raw = EscapeParamValue(value);
    if (OnParamSelect) OnParamSelect(*this, node, anchor.name, raw);
    std::string text = nodes_[node].text;
    if (!WriteRawParam(text, name, raw)) return;
    ReplaceText(node, std::move(text));
    if (*anchor.rawValue != raw && OnParamChanged) OnParamChanged(*this, node, anchor.name, *anchor.rawValue, raw);
    return;
  }
}

bool ParamTreeModel::RenameParam(size_t node, std::string_view oldName, std::string_view newName) {
  for (const ParamAnchor& anchor : FindParamAnchors(nodes_[node].text)) {
    if (!AsciiIEquals(anchor.name, oldName)) continue;
    std::string text = nodes_[node].text;
    text.replace(anchor.nameBegin, anchor.name.size(), newName);
    ReplaceText(node, std::move(text));
    return true;
  }
  return false;
}

// --- Editing

std::optional<std::string> ParamTreeModel::StartParamEdit(size_t node, std::string_view name) {
  const std::vector<ParamAnchor> anchors = FindParamAnchors(nodes_[node].text);
  for (size_t k = 0; k < anchors.size(); ++k) {
    const ParamAnchor& anchor = anchors[k];
    if (!AsciiIEquals(anchor.name, name)) continue;
    if (anchor.paramClass != "EDIT" || !anchor.rawValue) return std::nullopt;
    focusedParam_ = k;
    edit_ = OpenEdit{nodes_[node].id, anchor.name};
    std::string value = UnescapeParamValue(*anchor.rawValue);
    if (!emptyParam_.empty() && value == emptyParam_) value.clear();
    if (OnParamPrepare) OnParamPrepare(*this, node, anchor.name, value);
    if (OnParamEditStart) OnParamEditStart(*this, node, anchor.name, value);
    return value;
  }
  return std::nullopt;
}

void ParamTreeModel::CommitParamEdit(std::string text) {
  if (!edit_) return;
  const OpenEdit edit = std::move(*edit_);
  edit_.reset();
  const std::optional<size_t> node = IndexOf(edit.node);
  if (!node) return;  // deleted while its editor was open
  if (text.empty()) text = emptyParam_;
  if (OnParamEditDone) OnParamEditDone(*this, *node, edit.name, text);
  SetParamValue(*node, edit.name, text);
}

bool ParamTreeModel::MoveFocusedParam(int step) {
  if (!selected_) return false;
  const size_t count = NodeParamCount(*selected_);
  if (count < 2) return false;
  const std::ptrdiff_t moved = static_cast<std::ptrdiff_t>(focusedParam_) + step;
  focusedParam_ = static_cast<size_t>(std::clamp<std::ptrdiff_t>(moved, 0, static_cast<std::ptrdiff_t>(count) - 1));
  return true;
}

std::optional<std::string> ParamTreeModel::FocusedParamName() const {
  if (!selected_ || focusedParam_ >= NodeParamCount(*selected_)) return std::nullopt;
  return std::string(NameAt(nodes_[*selected_], focusedParam_));
}

std::optional<ParamLocation> ParamTreeModel::Advance() {
  const std::optional<std::string> focused = FocusedParamName();
  if (!focused) return std::nullopt;
  const std::optional<ParamLocation> next = NextParam(*focused);
  if (!next) return std::nullopt;
  focusedParam_ = next->indexInNode;
  SelectNode(next->node);
  return next;
}

}  // namespace kovan
