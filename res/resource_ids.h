// Numeric IDs of the program's own resources, shared by the resource scripts
// and the C++ code. Plain macros only: the resource compiler reads this file
// too.
//
// The PNG pictures are RCDATA resources. Each image list takes a block of IDs
// in its own order, so image i of a list is <list>_FIRST + i.
#ifndef KOVAN_RESOURCE_IDS_H
#define KOVAN_RESOURCE_IDS_H

// The application icon (16 to 256 pixels, 32-bit with alpha).
#define IDI_KOVAN 100

// Main menu, 22 by 22, in the order of the menu's image list.
#define IDB_MENU_FIRST 200
#define IDB_MENU_AYAR 200
#define IDB_MENU_CIKIS 201
#define IDB_MENU_HAKKINDA 202
#define IDB_MENU_LISTE 203
#define IDB_MENU_RES 204
#define IDB_MENU_TEMIZLE 205
#define IDB_MENU_RESY 206
#define IDB_MENU_OBJY 207
#define IDB_MENU_UPDATE2 208
#define IDB_MENU_RESOBJ 209
#define IDB_MENU_YARDIM 210
#define IDB_MENU_COUNT 11

// Pool window's pop-up menu, 20 by 20, in the order of its image list.
#define IDB_POOL_FIRST 300
#define IDB_POOL_EKLE 300
#define IDB_POOL_IPTAL 301
#define IDB_POOL_SIL 302
#define IDB_POOL_TAMAM 303
#define IDB_POOL_EXCEL 304
#define IDB_POOL_XML 305
#define IDB_POOL_AKTAR 306
#define IDB_POOL_KAYDET 307
#define IDB_POOL_HTML 308
#define IDB_POOL_ACKAPA 309
#define IDB_POOL_YENIDOS 310
#define IDB_POOL_YENIKLAS 311
#define IDB_POOL_COUNT 12

// About window: the 64 by 64 logo, then the credits pictures (80 by 54) in
// the order the credits text numbers them.
#define IDB_ABOUT_LOGO 400
#define IDB_ABOUT_CREDITS_FIRST 410
#define IDB_ABOUT_MAKER 410
#define IDB_ABOUT_LANGUAGES 411
#define IDB_ABOUT_COMPILER 412
#define IDB_ABOUT_CREDITS_COUNT 3

// Buttons and the hover summary.
#define IDB_HINT_HELP 500   // 16 by 16, beside the hint's "F5" help line
#define IDB_CLOSE_12 501    // 12 by 12, the main panel's close button
#define IDB_CLOSE_16 502    // 16 by 16, close buttons of the pool and about windows
#define IDB_GLYPH_OK 503    // 16 by 16 white tick, for the green glass buttons

#endif
