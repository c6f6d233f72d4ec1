// Just enough of a JSON reader to check the runner's state file: objects
// (members kept in file order), arrays, strings without escapes, numbers.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { String, Number, Array, Object } kind = Kind::String;
    std::string text;  // a string's contents, or a number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member called `name`; an empty string value when there is none.
    const JsonValue& operator[](const std::string& name) const;
    const JsonValue& operator[](std::size_t index) const;
};

// The value, or nothing when the text is not well-formed JSON.
std::optional<JsonValue> parseJson(const std::string& text);
