#include "lang/window_texts.hpp"

#include <algorithm>

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
    {"Proghint", "HintHelpText", 16, "Ayarları tanımlamak için F5 tuşuna basınız"},
    {"Yardm1", "Caption", 26, "Yardım"},
    {"Yardm1", "Hint", 27, "Kovan Yardım dosyasına ulaşmak için tıklayın."},
};

constexpr const char* kMainIgnore[] = {
    "AnaPencere.Caption", "Ayar.*",         "FindFile1.Path", "FormSize1*", "Label1*",
    "olusturyol.filter",  "PngImageList1*", "resbul*",
};

constexpr WindowText kSettingsTexts[] = {
    {"", "Caption", 1, "Ayarlar"},
    {"genelpanel", "Caption.Text", 2, "Genel Ayarlar"},
    {"gorselpanel", "Caption.Text", 3, "Görsel Ayarlar"},
    {"GroupBox1", "Caption", 5, "Klasör Sürükle-Bırak Seçenekleri"},
    {"kabul", "Caption", 6, "Klasörleri Kabul Et"},
    {"ret", "Caption", 7, "Klasörleri Yoksay"},
    {"CheckBox2", "Caption", 9, "Ekran Pozisyonunu Hatırla"},
    {"CheckBox1", "Caption", 11, "Otomatik Sürüm Kontrol Bildirimi"},
    {"CheckBox3", "Caption", 12, "Diğer Pencerelerin Üzerinde Tut"},
    {"GroupBox3", "Caption", 13, "Şeffaflık Ayarı"},
    {"Label1", "Caption", 14, "Şeffaflık Değeri"},
    {"CheckBox4", "Caption", 15, "Şeffaflık Aktif"},
    {"Dil", "Caption", 18, "Dil :"},
    {"CheckBox5", "Caption", 19, "Sistem Açılışında Çalıştır"},
};

constexpr const char* kSettingsIgnore[] = {"Combobox1.*"};

constexpr WindowText kPoolTexts[] = {
    {"kaynakhavuzu", "Caption.Text", 2, "Kaynak Havuzu"},
    {"YeniKaytekle1", "Caption", 3, "Ekle"},
    {"AktifkaydSil1", "Caption", 4, "Seçili Dosyayı Sil"},
    {"mKaytlarAKapat1", "Caption", 5, "Tüm Kayıtları Aç/Kapat"},
    {"Kaydet1", "Caption", 6, "Dışa Aktar"},
    {"XLS1", "Caption", 8, "XLS"},
    {"XML1", "Caption", 9, "XML"},
    {"XT1", "Caption", 10, "HTML"},
    {"ptaletvek1", "Caption", 11, "İptal Et ve Çık"},
    {"Onaylavek1", "Caption", 12, "Onayla ve Çık"},
    {"DosyaEkle1", "Caption", 13, "Dosya Ekle"},
    {"KlasrEkle1", "Caption", 14, "Klasör Ekle"},
};

constexpr const char* kPoolIgnore[] = {"FindFile1.*", "kayituru*", "Kaynaklar.Caption", "PngImageList1*"};

constexpr WindowTextTable kMain{"AnaPencere", kMainTexts, kMainIgnore};
constexpr WindowTextTable kSettings{"AyarPencere", kSettingsTexts, kSettingsIgnore};
constexpr WindowTextTable kPool{"Kaynaklar", kPoolTexts, kPoolIgnore};
constexpr const WindowTextTable* kWindows[] = {&kMain, &kSettings, &kPool};

}  // namespace

const WindowTextTable& MainWindowTexts() { return kMain; }
const WindowTextTable& SettingsWindowTexts() { return kSettings; }
const WindowTextTable& PoolWindowTexts() { return kPool; }
std::span<const WindowTextTable* const> TranslatableWindows() { return kWindows; }

const WindowText* FindWindowText(const WindowTextTable& table, int32_t id) {
  const auto it =
      std::find_if(table.texts.begin(), table.texts.end(), [id](const WindowText& t) { return t.id == id; });
  return it != table.texts.end() ? &*it : nullptr;
}

}  // namespace kovan
