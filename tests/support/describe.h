// Lists for failure messages: one item a line, indented.
#ifndef VARNEL_TESTS_DESCRIBE_H
#define VARNEL_TESTS_DESCRIBE_H

#include <string>
#include <vector>

std::string Describe(const std::vector<std::string> &items);

#endif
