// The captions of Kovan's menus as they show in Turkish, the built-in
// language.
#pragma once

#include <string>

namespace kovan::e2e {

// The main menu and its compile submenu.
inline const std::wstring kCompile = L"Kaynak dosyasını oluştur";
inline const std::wstring kCreateRes = L".RES dosyası oluştur";
inline const std::wstring kCreateObj = L".OBJ dosyası oluştur";
inline const std::wstring kResToObj = L"RES -> OBJ";
inline const std::wstring kStopCompile = L"Derlemeyi durdur";
inline const std::wstring kPool = L"Kaynak Havuzu";
inline const std::wstring kNewVersion = L"Yeni Sürüm";
inline const std::wstring kClearPool = L"Kaynak havuzunu temizle";
inline const std::wstring kSettings = L"Program Ayarları";
inline const std::wstring kAbout = L"Hakkında";
inline const std::wstring kHelp = L"Yardım";
inline const std::wstring kExit = L"Çıkış";

// The pool window's menu and its two submenus.
inline const std::wstring kAdd = L"Ekle";
inline const std::wstring kAddFile = L"Dosya Ekle";
inline const std::wstring kAddFolder = L"Klasör Ekle";
inline const std::wstring kImportScript = L"Kaynak Betiği Al...";
inline const std::wstring kDelete = L"Seçili Dosyayı Sil";
inline const std::wstring kToggleAll = L"Tüm Kayıtları Aç/Kapat";
inline const std::wstring kExport = L"Dışa Aktar";
inline const std::wstring kCancelAndClose = L"İptal Et ve Çık";
inline const std::wstring kConfirmAndClose = L"Onayla ve Çık";

}  // namespace kovan::e2e
