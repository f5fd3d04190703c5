#include "windows/about/about_content.hpp"

#include "online/update_server.hpp"

namespace kovan {

namespace {

constexpr char kCompilerSite[] = "http://www.godevtool.com/";
constexpr char kLanguageFilesPath[] = "/programlar/kovandil.html";

std::string MakerPage(std::string_view path) { return "http://" + std::string(kMakerHost) + std::string(path); }

TextRun Plain(std::string text, int size = 0) {
  TextRun run;
  run.text = std::move(text);
  run.size = size;
  return run;
}

TextRun Bold(std::string text, int size = 0) {
  TextRun run = Plain(std::move(text), size);
  run.bold = true;
  return run;
}

TextRun Coloured(std::string text, uint32_t colour) {
  TextRun run = Plain(std::move(text));
  run.colour = colour;
  return run;
}

// The words the credits single out: bold, shadowed and coloured.
TextRun Marked(std::string text, uint32_t colour, int size = 0) {
  TextRun run = Bold(std::move(text), size);
  run.shadow = true;
  run.colour = colour;
  return run;
}

TextRun Picture(AboutPicture picture) {
  TextRun run;
  run.picture = static_cast<int>(picture);
  return run;
}

// The link line's text is small and bold, its links blue.
constexpr int kLinkLineSize = 7;
TextRun Small(std::string text) { return Bold(std::move(text), kLinkLineSize); }

TextRun Link(std::string text, std::string target) {
  TextRun run = Small(std::move(text));
  run.colour = kLinkBlue;
  run.link = std::move(target);
  return run;
}

TextLine Separator() { return {Plain(std::string(55, '-'))}; }

}  // namespace

std::vector<TextLine> CreditsText() {
  return {
      {Marked("Kovan", kCreditsDarkBlue, 12), Plain(" Kaynak Yöneticisi", 12)},
      {Bold("sürüm ", 11), Marked("2.0", kCreditsText, 11)},
      {},
      {},
      {Plain("Kovan, kaynak dosyalarını "), Marked("GoRC", kCreditsDarkRed),
       Plain(" kaynak derleyicisi ile oluşturur.")},
      {Plain("Kovan builds its resource files with the "), Marked("GoRC", kCreditsDarkRed),
       Plain(" resource compiler.")},
      {Picture(AboutPicture::CompilerLogo)},
      {Plain("GoRC'nin tüm hakları yazarına aittir. / All rights to GoRC belong to its author.")},
      Separator(),
      {Plain("Kovan, dil klasöründeki "), Marked("dil dosyaları", kCreditsDarkRed),
       Plain(" sayesinde çok dilli bir arayüz sunar.")},
      {Plain("Kovan offers a multilingual interface through the "), Marked("language files", kCreditsDarkRed),
       Plain(" in its dil folder.")},
      {Picture(AboutPicture::Languages)},
      Separator(),
      {},
      {Picture(AboutPicture::MakerLogo)},
      {Plain("Kovan © ORSEL RIRUDIR - "), Coloured("TÜRKİYE", kCreditsRed)},
      {Plain("Tüm hakları saklıdır. / All rights reserved.")},
  };
}

std::string Slogan() { return "Küçük araçlar, büyük kolaylıklar"; }

TextLine Heading() {
  TextRun first = Bold("ORSEL", 24);
  first.italic = true;
  first.colour = kHeadingBlue;
  return {first, Bold(" RIRUDIR", 18)};
}

std::vector<TextLine> LinkLine() {
  return {
      {Small("Türkçe: "), Link("ORSEL RIRUDIR", MakerPage("/")), Small(" - "),
       Link("Kovan", MakerPage(kProductPagePath))},
      {Small("English: "), Link("ORSEL RIRUDIR", MakerPage("/int/")), Small(" - "),
       Link("Kovan", MakerPage("/int/software/softwareb.html#Kovan"))},
      {Link("GoRC WebSite", kCompilerSite), Small(" - "),
       Link("Dil Dosyaları / Language Files", MakerPage(kLanguageFilesPath))},
  };
}

bool OpensWithShell(std::string_view target) {
  return target.find("://") != std::string_view::npos || target.find("mailto:") != std::string_view::npos;
}

}  // namespace kovan
