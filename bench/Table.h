#pragma once

#include "Measure.h"

#include <string>

namespace bench {

// Prints one section's lines: what was timed, its median and best wall
// time, and the median as a multiple of the section's reference.
class Table {
public:
    explicit Table(const std::string &title);

    void reference(const std::string &what, const Samples &samples);
    void line(const std::string &what, const Samples &samples);
    // A line measured against a reference of its own, e.g. in CPU time.
    void lineAgainst(const std::string &what, const Samples &samples, const Samples &reference);
    void note(const std::string &text);
    double referenceMedian() const { return m_reference; }

private:
    void print(const std::string &what, const Samples &samples, const std::string &ratio);

    double m_reference = 0;
};

std::string grouped(long long number);

// One line of the bars: what was asked, then "met" or "NOT MET".
void printBar(const char *what, bool met);
// A bar met when the figure is at most the limit; `format` shows the
// figure, then the limit.
void printUpperBar(const char *format, double figure, double limit);

} // namespace bench
