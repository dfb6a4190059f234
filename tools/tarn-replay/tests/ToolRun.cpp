#include "ToolRun.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "CsvReader.h"
#include "NumberField.h"

namespace {

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

}  // namespace

ToolResult runProgram(const std::string& program, const std::vector<std::string>& args, const TempDir& dir)
{
    std::string command = quoted(program);
    for (const auto& arg : args) {
        command += " " + quoted(arg);
    }
    command += " > " + quoted(dir.file("stdout.txt")) + " 2> " + quoted(dir.file("stderr.txt")) + " < /dev/null";
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(dir.file("stdout.txt"));
    result.err = readFile(dir.file("stderr.txt"));
    return result;
}

ToolResult runReplay(const std::vector<std::string>& args, const TempDir& dir)
{
    return runProgram(TARN_REPLAY_EXE, args, dir);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t NumericCsv::column(const std::string& name) const
{
    const auto it = std::find(header.begin(), header.end(), name);
    EXPECT_NE(it, header.end()) << name;
    return static_cast<std::size_t>(it - header.begin());
}

NumericCsv readNumericCsv(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    CsvReader reader(in);
    std::vector<std::string_view> fields;
    NumericCsv csv;
    if (reader.next(fields)) {
        csv.header.assign(fields.begin(), fields.end());
    }
    while (reader.next(fields)) {
        auto& row = csv.rows.emplace_back();
        for (const auto field : fields) {
            const auto value = parseNumberField(field);
            EXPECT_TRUE(value.has_value()) << path << ":" << reader.lineNumber() << ": " << field;
            row.push_back(value.value_or(0.0));
        }
    }
    return csv;
}

std::vector<double> numbersAfter(const std::string& text, const std::string& label, std::size_t count)
{
    std::vector<double> numbers;
    const auto at = text.find(label);
    if (at == std::string::npos) {
        ADD_FAILURE() << "\"" << label << "\" not in:\n" << text;
        return std::vector<double>(count, 0.0);
    }
    const char* p = text.c_str() + at + label.size();
    while (numbers.size() < count && *p != '\0') {
        char* end = nullptr;
        const double value = std::strtod(p, &end);
        if (end == p) {
            ++p;
        } else {
            numbers.push_back(value);
            p = end;
        }
    }
    EXPECT_EQ(numbers.size(), count) << "after \"" << label << "\"";
    numbers.resize(count, 0.0);
    return numbers;
}

double numberAfter(const std::string& text, const std::string& label)
{
    return numbersAfter(text, label, 1)[0];
}
