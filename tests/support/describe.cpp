#include "describe.h"

std::string Describe(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += "  " + item + "\n";
    return text.empty() ? "  (nothing)\n" : text;
}
