// The tree's markup reader and parameter lookups on arbitrary node texts: they
// must never crash or point outside the text, and a value written escaped must
// read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/param_tree/param_tree_model.hpp"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovan;
  const std::string text(reinterpret_cast<const char*>(data), size);

  const NodeMarkup markup = ReadMarkup(text);
  for (const MarkupRun& run : markup.runs) Check(run.param < static_cast<int>(markup.params.size()));
  for (const ParamAnchor& anchor : markup.params) {
    Check(anchor.nameBegin + anchor.name.size() <= text.size());
    if (anchor.rawValue) Check(text.substr(anchor.valueBegin, anchor.valueEnd - anchor.valueBegin) == *anchor.rawValue);
  }

  ParamTreeModel tree;
  const size_t node = tree.AddRoot(text);
  Check(tree.ParamCount() == CountHrefs(text));
  // Each lookup reads the whole text again; a few anchors show the rule.
  for (size_t k = 0; k < markup.params.size() && k < 8; ++k) {
    const ParamAnchor& anchor = markup.params[k];
    const std::optional<std::string> raw = ReadRawParam(text, anchor.name);
    Check(tree.GetParamValue(anchor.name) == (raw ? UnescapeParamValue(*raw) : std::string()));
    Check(tree.ParamIndexInNode(node, anchor.name).has_value());
  }
  if (!markup.params.empty()) {
    // Writing may fail on a broken text, but must leave a readable one.
    tree.SetParamValue(node, markup.params[0].name, text);
    (void)ReadMarkup(tree.NodeText(node));
  }

  // The input as a value: written escaped into a well-formed anchor, it reads
  // back as it was (the literal text "&quot;" excepted, which reads back as
  // the character it names).
  if (text.find("&quot;") == std::string::npos) {
    ParamTreeModel values;
    const size_t at = values.AddRoot(R"(<I>key </I>: <a href="p" class="EDIT">x</a>)");
    values.SetParamValue(at, "P", text);
    Check(values.GetParamValue("p") == text);
    Check(ReadMarkup(values.NodeText(at)).params.size() == 1);
  }
  return 0;
}
