#include "windows/pool/pool_window_names.hpp"

namespace kovan {

namespace {

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

constexpr WindowTextTable kTable{"Kaynaklar", kPoolTexts, kPoolIgnore};

}  // namespace

const WindowTextTable& PoolWindowTexts() { return kTable; }

}  // namespace kovan
