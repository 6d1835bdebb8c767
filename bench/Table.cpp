#include "Table.h"

#include <cstdio>

namespace bench {

namespace {

constexpr int WhatWidth = 58;

} // namespace

std::string grouped(long long number)
{
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

Table::Table(const std::string &title)
{
    std::printf("\n%s\n", title.c_str());
    std::printf("  %-*s %10s %10s %8s\n", WhatWidth, "", "median s", "best s", "x ref");
}

void Table::reference(const std::string &what, const Samples &samples)
{
    m_reference = samples.median();
    print(what, samples, "1.00");
}

void Table::line(const std::string &what, const Samples &samples)
{
    char ratio[32] = "-";
    if (m_reference > 0)
        std::snprintf(ratio, sizeof ratio, "%.2f", samples.median() / m_reference);
    print(what, samples, ratio);
}

void Table::lineAgainst(const std::string &what, const Samples &samples, const Samples &reference)
{
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.2f", samples.median() / reference.median());
    print(what, samples, ratio);
}

void Table::note(const std::string &text)
{
    std::printf("  %s\n", text.c_str());
    std::fflush(stdout);
}

void Table::print(const std::string &what, const Samples &samples, const std::string &ratio)
{
    std::printf("  %-*s %10.3f %10.3f %8s\n", WhatWidth, what.c_str(), samples.median(), samples.best(), ratio.c_str());
    std::fflush(stdout);
}

void printBar(const char *what, bool met)
{
    std::printf("  %-64s %s\n", what, met ? "met" : "NOT MET");
}

void printUpperBar(const char *format, double figure, double limit)
{
    char line[128];
    std::snprintf(line, sizeof line, format, figure, limit);
    printBar(line, figure <= limit);
}

} // namespace bench
