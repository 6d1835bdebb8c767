// jet4writer: writes a new Jet 4 (Access 2000 format) database holding one
// user table `item` (id Long Integer, C Text(255), E Text(255)). It produces
// test fixtures and demo data.
//
// Usage: jet4writer INPUT.tsv OUTPUT.mdb   (INPUT may be - for stdin)
//
// Input is UTF-8 text with tab-separated fields. The first line is the header
// id<TAB>C<TAB>E; every further line is one row, stored in input order. An
// empty field is NULL. Inside C and E these escapes apply:
//   \t tab, \n line feed, \r carriage return, \\ backslash,
//   and a field that is exactly \e is the empty text (not NULL).
// Any other backslash sequence is an error. Texts hold at most 255 UTF-16
// code units. On bad input the tool names the line, exits with status 1 and
// leaves no output file behind: it writes a temporary file beside OUTPUT and
// renames it only when the whole file is complete.

#include "ItemTsvReader.h"
#include "jet4/ItemFileWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::string_view Usage = "Usage: jet4writer INPUT.tsv OUTPUT.mdb\n";

constexpr std::string_view Help = R"(Writes a Jet 4 (.mdb, Access 2000 format) file with one table `item`:
  id  Long Integer (32-bit signed)
  C   Text(255)
  E   Text(255)

INPUT is UTF-8 tab-separated text, or - for standard input. The first line
must be the header id<TAB>C<TAB>E. Each further line is one row; rows are
stored in input order. An empty field is NULL.

Escapes inside C and E:
  \t  tab            \r  carriage return
  \n  line feed      \\  backslash
  \e  (the whole field) the empty text, as opposed to NULL
Any other backslash sequence is an error. A text holds at most 255 UTF-16
code units (a character outside the BMP counts twice).

On bad input the line number is reported on stderr, the exit status is 1
and OUTPUT is not created.

Options:
  -h, --help  Show this help.
  --version   Show the version.
)";

// Removes the temporary output unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path)
        : m_path(std::move(path)) { }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile()
    {
        if (!m_committed) {
            std::error_code ignored;
            std::filesystem::remove(m_path, ignored);
        }
    }

    const std::filesystem::path &path() const { return m_path; }

    void commitAs(const std::filesystem::path &target)
    {
        std::filesystem::rename(m_path, target);
        m_committed = true;
    }

private:
    std::filesystem::path m_path;
    bool m_committed = false;
};

std::filesystem::path temporaryPathFor(const std::filesystem::path &output)
{
    std::filesystem::path temporary = output;
    temporary += ".tmp." + std::to_string(::getpid());
    return temporary;
}

void convert(std::istream &input, std::ostream &output)
{
    jet4::ItemTsvReader reader(input);
    jet4::ItemFileWriter writer(output);
    while (const auto row = reader.next()) {
        try {
            writer.append(*row);
        } catch (const std::invalid_argument &error) {
            throw jet4::InputError(reader.lineNumber(), error.what());
        }
    }
    if (input.bad()) {
        throw std::runtime_error("reading the input failed");
    }
    writer.finish();
}

void writeDatabase(std::istream &input, const std::filesystem::path &outputPath)
{
    TemporaryFile temporary(temporaryPathFor(outputPath));
    {
        std::ofstream output(temporary.path(), std::ios::binary | std::ios::trunc);
        if (!output) {
            throw std::runtime_error("cannot create " + temporary.path().string());
        }
        convert(input, output);
        output.close();
        if (!output) {
            throw std::runtime_error("writing " + temporary.path().string() + " failed");
        }
    }
    temporary.commitAs(outputPath);
}

int run(std::string_view inputName, const std::filesystem::path &outputPath)
{
    const bool fromStdin = inputName == "-";
    const std::string shownName = fromStdin ? "<stdin>" : std::string(inputName);
    std::ifstream file;
    if (!fromStdin) {
        file.open(std::string(inputName), std::ios::binary);
        if (!file) {
            std::cerr << "jet4writer: cannot open " << shownName << "\n";
            return 1;
        }
    }
    try {
        writeDatabase(fromStdin ? std::cin : file, outputPath);
    } catch (const jet4::InputError &error) {
        std::cerr << "jet4writer: " << shownName << ", line " << error.line() << ": " << error.what() << "\n";
        return 1;
    } catch (const std::exception &error) {
        std::cerr << "jet4writer: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << Usage << "\n"
                  << Help;
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "jet4writer " << REALMQUERY_VERSION << "\n";
        return 0;
    }
    if (argc != 3) {
        std::cerr << Usage << "Try 'jet4writer --help' for the input format.\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    return run(argv[1], argv[2]);
}
