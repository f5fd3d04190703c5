// Where the program's online services live: the maker's web server, or a
// mirror named in KOVAN_UPDATE_SERVER, and the addresses on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "online/http_client.hpp"

namespace kovan {

inline constexpr char kMakerHost[] = "www.rirudir.com";
inline constexpr char kUpdateServerVariable[] = "KOVAN_UPDATE_SERVER";

inline constexpr char kVersionFilePath[] = "/programlar/kovansurum.txt";
inline constexpr char kProductPagePath[] = "/rirudir/rirudirb.html#Kovan";
inline constexpr char kSupportPagePathTurkish[] = "/destek/index.html#Kovan";
inline constexpr char kSupportPagePathOther[] = "/int/support/index.html#Kovan";

// The maker's server on port 80, unless KOVAN_UPDATE_SERVER holds "host" or
// "host:port"; a value that is not a server address is ignored.
ServerAddress UpdateServer();

// "http://" + the server (with its port when not 80) + path.
std::string WebAddress(const ServerAddress& server, std::string_view path);

std::string ProductPageAddress(const ServerAddress& server);
// The support page for the active language: Turkish (1055) has its own.
std::string SupportPageAddress(const ServerAddress& server, uint16_t languageId);

}  // namespace kovan
