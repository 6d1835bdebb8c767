#include "ItemTsvReader.h"

#include "jet4/JetFormat.h"
#include "jet4/Utf.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace jet4 {
namespace {

constexpr std::string_view Header = "id\tC\tE";
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view EmptyTextField = "\\e";
constexpr std::size_t FieldCount = 3;

// Field problems carry no line number; next() adds it.
class FieldError : public std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::optional<std::int32_t> parseId(std::string_view field)
{
    if (field.empty()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    const std::string quoted = "\"" + std::string(field) + "\"";
    if (error == std::errc::result_out_of_range) {
        throw FieldError("id " + quoted + " is outside the 32-bit range -2147483648..2147483647");
    }
    if (error != std::errc{} || end != field.data() + field.size()) {
        throw FieldError("id " + quoted + " is not a whole number");
    }
    return value;
}

char unescapeChar(char code, std::string_view column)
{
    switch (code) {
    case 't':
        return '\t';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case '\\':
        return '\\';
    case 'e':
        throw FieldError("column " + std::string(column) + ": \\e means the empty text and must be the whole field");
    default:
        throw FieldError("column " + std::string(column) + ": unknown escape \\" + std::string(1, code));
    }
}

std::string unescape(std::string_view field, std::string_view column)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out.push_back(field[i]);
        } else if (i + 1 == field.size()) {
            throw FieldError("column " + std::string(column) + ": backslash at the end of the field");
        } else {
            out.push_back(unescapeChar(field[++i], column));
        }
    }
    return out;
}

std::optional<std::u16string> parseText(std::string_view field, std::string_view column)
{
    if (field.empty()) {
        return std::nullopt;
    }
    if (field == EmptyTextField) {
        return std::u16string{};
    }
    auto text = utf8ToUtf16(unescape(field, column));
    if (!text) {
        throw FieldError("column " + std::string(column) + ": invalid UTF-8");
    }
    if (text->find(u'\0') != std::u16string::npos) {
        throw FieldError("column " + std::string(column) + ": NUL characters cannot be stored");
    }
    if (text->size() > MaxTextLength) {
        throw FieldError("column " + std::string(column) + ": text has " + std::to_string(text->size()) + " UTF-16 code units, the limit is " + std::to_string(MaxTextLength));
    }
    return text;
}

ItemRow parseRow(std::string_view line)
{
    const auto fields = splitFields(line);
    if (fields.size() != FieldCount) {
        throw FieldError("expected " + std::to_string(FieldCount) + " tab-separated fields, found " + std::to_string(fields.size()));
    }
    return ItemRow{parseId(fields[0]), parseText(fields[1], "C"), parseText(fields[2], "E")};
}

} // namespace

InputError::InputError(std::size_t line, const std::string &message)
    : std::runtime_error(message), m_line(line)
{
}

ItemTsvReader::ItemTsvReader(std::istream &in)
    : m_in(in)
{
    readHeader();
}

bool ItemTsvReader::readLine(std::string &line)
{
    if (!std::getline(m_in, line)) {
        return false;
    }
    ++m_lineNumber;
    // Files saved on Windows end lines with CR LF; a literal CR in a text is written `\r`.
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

void ItemTsvReader::readHeader()
{
    std::string line;
    if (!readLine(line)) {
        throw InputError(1, "the input is empty; expected the header line id<TAB>C<TAB>E");
    }
    std::string_view header = line;
    if (header.starts_with(Utf8Bom)) {
        header.remove_prefix(Utf8Bom.size());
    }
    if (header != Header) {
        throw InputError(m_lineNumber, "bad header; expected id<TAB>C<TAB>E");
    }
}

std::optional<ItemRow> ItemTsvReader::next()
{
    std::string line;
    if (!readLine(line)) {
        return std::nullopt;
    }
    try {
        return parseRow(line);
    } catch (const FieldError &error) {
        throw InputError(m_lineNumber, error.what());
    }
}

} // namespace jet4
