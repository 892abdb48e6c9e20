// Sequences of calls or events, compared whole: on a mismatch the failure
// shows the expected and the actual sequence, one item a line.
#ifndef VARNEL_TESTS_SEQUENCE_H
#define VARNEL_TESTS_SEQUENCE_H

#include <initializer_list>
#include <string>
#include <vector>

typedef std::vector<std::string> Sequence;

// One item a line, indented.
std::string Describe(const Sequence &items);

// A text's lines, as a message box shows them.
Sequence Lines(const std::string &text);

// The items that begin with one of the prefixes, in their order.
Sequence Only(const Sequence &items, std::initializer_list<const char *> prefixes);

#define CHECK_SEQUENCE(actual, ...)                                                             \
    do                                                                                          \
    {                                                                                           \
        const Sequence actualSequence = (actual);                                               \
        const Sequence expectedSequence = __VA_ARGS__;                                          \
        INFO("expected:\n", Describe(expectedSequence), "actual:\n", Describe(actualSequence)); \
        CHECK(actualSequence == expectedSequence);                                              \
    } while (0)

#endif
