#pragma once
#include <functional>
#include <initializer_list>
#include <string>

// A message rumena adds of its own (not the game's texts, which are never translated), in the player's
// language: the host's catalogue gives it, and the English stands where it has none. "%1", "%2" ... are
// the parts filled in.
using Catalogue = std::function<std::string(const std::string& english)>;
std::string words(const Catalogue& catalogue, const std::string& english,
                  std::initializer_list<std::string> parts = {});
