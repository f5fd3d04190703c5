#include "windows/settings/settings_window_names.hpp"

namespace kovan {

namespace {

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

constexpr WindowTextTable kTable{"AyarPencere", kSettingsTexts, kSettingsIgnore};

}  // namespace

const WindowTextTable& SettingsWindowTexts() { return kTable; }

}  // namespace kovan
