#include "vector_file.h"

#include <fstream>
#include <sstream>

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(trimmed(part));
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

// Reads `name=value` pairs; false on a word without '='.
bool readAssignments(const std::string& text, std::vector<VectorAssignment>& out) {
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == word.size()) return false;
        out.push_back({word.substr(0, equals), word.substr(equals + 1)});
    }
    return true;
}

// A later @before for the same name replaces the earlier one.
void setDefaults(std::vector<VectorAssignment>& defaults, const std::vector<VectorAssignment>& more) {
    for (const VectorAssignment& assignment : more) {
        bool replaced = false;
        for (VectorAssignment& existing : defaults) {
            if (existing.name == assignment.name) {
                existing.value = assignment.value;
                replaced = true;
            }
        }
        if (!replaced) defaults.push_back(assignment);
    }
}

}  // namespace

VectorFile readVectorFile(const std::string& path) {
    VectorFile file;
    std::ifstream in(path);
    if (!in) {
        file.error = path + ": cannot be opened";
        return file;
    }
    std::vector<VectorAssignment> defaults;
    unsigned number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        if (line.rfind("@before", 0) == 0) {
            std::vector<VectorAssignment> more;
            if (!readAssignments(line.substr(7), more)) {
                file.error = where + "@before takes name=value pairs";
                return file;
            }
            setDefaults(defaults, more);
            continue;
        }
        const std::vector<std::string> fields = split(line, '|');
        if (fields.size() != 3 || fields[0].empty()) {
            file.error = where + "a row is `code | inputs | expected`";
            return file;
        }
        VectorRow row;
        row.line = number;
        for (const std::string& statement : split(fields[0], ';')) {
            if (!statement.empty()) row.code += statement + "\n";
        }
        row.defaults = defaults;
        if (!readAssignments(fields[1], row.inputs) || !readAssignments(fields[2], row.expected)) {
            file.error = where + "inputs and results are name=value pairs";
            return file;
        }
        file.rows.push_back(std::move(row));
    }
    return file;
}

std::string vectorAssembly(const VectorFile& file) {
    std::ostringstream out;
    out << "    .set noreorder\n    .set noat\n    .set gp=64\n    .text\n"
        << "    .globl main\nmain:\n    jr $ra\n    nop\n";
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        out << "\n    .balign 16\nvectorRow" << i << ":\n"
            << file.rows[i].code << "vectorRow" << i << "End:\n"
            << "    break\n";  // stops a row that runs past its end
    }
    out << "\n    .data\n    .balign 4\n    .globl vectorRowCount\nvectorRowCount:\n    .word " << file.rows.size()
        << "\n    .globl vectorRows\nvectorRows:\n";
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        out << "    .word vectorRow" << i << ", vectorRow" << i << "End\n";
    }
    out << "\n    .bss\n    .balign 16\n    .globl vectorData\nvectorData:\n    .space 256\n";
    return out.str();
}
