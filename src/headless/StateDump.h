#pragma once
#include <nlohmann/json.hpp>

#include <optional>
#include <string>

class Game;

// The window's state as the driver prints it: variables and controls by their own names.
namespace statedump {

using Json = nlohmann::ordered_json;

Json vars(const Game& game);
Json controls(const Game& game);
// One variable or control by name (with index, one element of it); nothing when there is none such.
std::optional<Json> named(const Game& game, const std::string& name, std::optional<int> index);

} // namespace statedump
