// Just enough of a JSON reader to check the runner's state file: objects,
// arrays, strings without escapes and unsigned numbers, flattened into the
// scalars they hold, in file order. A path joins member names and array
// indexes with '.', as in "vu0.vf.5.3".
#pragma once

#include <cctype>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FlatJson {
    std::vector<std::pair<std::string, std::string>> scalars;  // path, value as written (strings quoted)

    // A string's contents or a number's digits; empty when there is none.
    std::string operator[](const std::string& path) const {
        for (const auto& [at, value] : scalars) {
            if (at == path) return value[0] == '"' ? value.substr(1, value.size() - 2) : value;
        }
        return {};
    }
};

struct JsonFlattener {
    const std::string& text;
    std::size_t at = 0;
    FlatJson json;

    void skipSpace() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    }
    bool take(char expected) {
        skipSpace();
        if (at == text.size() || text[at] != expected) return false;
        ++at;
        return true;
    }
    // The next string (with its quotes) or number; empty when neither is next.
    std::string scalar() {
        skipSpace();
        std::size_t end = at;
        if (end < text.size() && text[end] == '"') {
            end = text.find('"', end + 1);
            end = end == std::string::npos ? at : end + 1;  // unterminated: no token
        } else {
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        }
        const std::string token = text.substr(at, end - at);
        at = end;
        return token;
    }
    bool value(const std::string& path) {
        const std::string prefix = path.empty() ? path : path + ".";
        const bool isArray = take('[');
        if (isArray || take('{')) {
            const char close = isArray ? ']' : '}';
            if (take(close)) return true;
            for (std::size_t index = 0;; ++index) {
                std::string name = std::to_string(index);
                if (!isArray) {
                    name = scalar();
                    if (name.size() < 2 || name[0] != '"' || !take(':')) return false;
                    name = name.substr(1, name.size() - 2);
                }
                if (!value(prefix + name)) return false;
                if (!take(',')) return take(close);
            }
        }
        const std::string token = scalar();
        if (!token.empty()) json.scalars.emplace_back(path, token);
        return !token.empty();
    }
};

// Nothing when the text is not well-formed JSON.
inline std::optional<FlatJson> parseJson(const std::string& text) {
    JsonFlattener reader{text, 0, {}};
    const bool wellFormed = reader.value("");
    reader.skipSpace();
    if (!wellFormed || reader.at != text.size()) return std::nullopt;
    return reader.json;
}
