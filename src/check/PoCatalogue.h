#pragma once
#include <map>
#include <string>

// A gettext catalogue (a .po file) read into English -> translation, for the page's messages. Entries
// without a translation, and the header, are left out.
std::map<std::string, std::string> readPoCatalogue(const std::string& path);
