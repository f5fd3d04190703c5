#include "windows/main/main_window_names.hpp"

namespace kovan {

namespace {

constexpr WindowText kMainTexts[] = {
    {"RES1", "Caption", 5, "Kaynak dosyasını oluştur"},
    {"RES1", "Hint", 25, "Kaynak dosyası oluşturmak için alt menüden bir eleman seçin."},
    {"DosyalarAyarla1", "Caption", 6, "Kaynak Havuzu"},
    {"DosyalarAyarla1", "Hint", 18, "Dosya havuzunu açmak için tıklayın."},
    {"Ayarlar1", "Caption", 7, "Program Ayarları"},
    {"Ayarlar1", "Hint", 20, "Ayar penceresini açmak için tıklayın."},
    {"Hakknda1", "Caption", 8, "Hakkında"},
    {"Hakknda1", "Hint", 21, "Kovan ve destekleyenler hakkında bilgi için tıklayın."},
    {"amamnSil1", "Caption", 9, "Kaynak havuzunu temizle"},
    {"amamnSil1", "Hint", 22, "Dosya havuzunu temizlemek için tıklayın."},
    {"k1", "Caption", 10, "Çıkış"},
    {"k1", "Hint", 23, "Programdan Çıkmak için tıklayın."},
    {"GncelSrm1", "Caption", 11, "Yeni Sürüm"},
    {"GncelSrm1", "Hint", 19, "Yeni sürüm mevcut ise bu menü atif hale gelir."},
    {"OBJdosyasolutur1", "Caption", 13, ".OBJ dosyası oluştur"},
    {"RESOBJ1", "Caption", 14, "RES -> OBJ"},
    {"RESdosyasolutur1", "Caption", 15, ".RES dosyası oluştur"},
    {"DerlemeDurdur1", "Caption", 28, "Derlemeyi durdur"},
    {"DerlemeDurdur1", "Hint", 29, "Çalışan kaynak derleyicisini durdurmak için tıklayın."},
    {"Proghint", "HintHelpText", 16, "Ayarları tanımlamak için F5 tuşuna basınız"},
    {"Yardm1", "Caption", 26, "Yardım"},
    {"Yardm1", "Hint", 27, "Kovan Yardım dosyasına ulaşmak için tıklayın."},
};

constexpr const char* kMainIgnore[] = {
    "AnaPencere.Caption", "Ayar.*",         "FindFile1.Path", "FormSize1*", "Label1*",
    "olusturyol.filter",  "PngImageList1*", "resbul*",
};

constexpr WindowTextTable kTable{"AnaPencere", kMainTexts, kMainIgnore};

}  // namespace

const WindowTextTable& MainWindowTexts() { return kTable; }

}  // namespace kovan
