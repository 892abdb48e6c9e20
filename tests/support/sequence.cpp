#include "sequence.h"

std::string Describe(const Sequence &items)
{
    std::string text;
    for (const std::string &item : items)
        text += "  " + item + "\n";
    return text.empty() ? "  (nothing)\n" : text;
}

Sequence Only(const Sequence &items, std::initializer_list<const char *> prefixes)
{
    Sequence kept;
    for (const std::string &item : items)
        for (const char *prefix : prefixes)
            if (item.compare(0, std::string(prefix).size(), prefix) == 0)
            {
                kept.push_back(item);
                break;
            }
    return kept;
}

Sequence Lines(const std::string &text)
{
    Sequence lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}
