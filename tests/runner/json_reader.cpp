#include "json_reader.h"

#include <cctype>

namespace {

const JsonValue kMissing;

struct Reader {
    const std::string& text;
    std::size_t at = 0;

    void skipSpace() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    }
    bool take(char expected) {
        skipSpace();
        if (at < text.size() && text[at] == expected) {
            ++at;
            return true;
        }
        return false;
    }
    std::optional<std::string> string() {
        if (!take('"')) return std::nullopt;
        const std::size_t end = text.find('"', at);
        if (end == std::string::npos) return std::nullopt;
        std::string contents = text.substr(at, end - at);
        at = end + 1;
        return contents;
    }
    std::optional<JsonValue> value() {
        skipSpace();
        if (at >= text.size()) return std::nullopt;
        JsonValue result;
        if (text[at] == '"') {
            auto contents = string();
            if (!contents) return std::nullopt;
            result.text = *contents;
        } else if (text[at] == '[') {
            result.kind = JsonValue::Kind::Array;
            ++at;
            if (take(']')) return result;
            do {
                auto item = value();
                if (!item) return std::nullopt;
                result.items.push_back(*item);
            } while (take(','));
            if (!take(']')) return std::nullopt;
        } else if (text[at] == '{') {
            result.kind = JsonValue::Kind::Object;
            ++at;
            if (take('}')) return result;
            do {
                auto name = string();
                if (!name || !take(':')) return std::nullopt;
                auto member = value();
                if (!member) return std::nullopt;
                result.members.emplace_back(*name, *member);
            } while (take(','));
            if (!take('}')) return std::nullopt;
        } else {
            result.kind = JsonValue::Kind::Number;
            while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '-')) {
                result.text += text[at++];
            }
            if (result.text.empty()) return std::nullopt;
        }
        return result;
    }
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    for (const auto& [memberName, member] : members) {
        if (memberName == name) return member;
    }
    return kMissing;
}

const JsonValue& JsonValue::operator[](std::size_t index) const { return index < items.size() ? items[index] : kMissing; }

std::optional<JsonValue> parseJson(const std::string& text) {
    Reader reader{text};
    auto result = reader.value();
    reader.skipSpace();
    if (reader.at != text.size()) return std::nullopt;
    return result;
}
