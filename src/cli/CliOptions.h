#pragma once
// The option table of a qorplayer-cli command and the parse of its words.
// Options are words starting with "--"; an option with a value takes the
// next word whatever it looks like (so "--brightness -20" works); every other
// word is positional. Adding an option to a command is one line in its table.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct CliOption {
    const char* name;        // "--first"
    const char* value;       // placeholder of the value ("A"); nullptr for a flag
    const char* help;        // one line for --help
    bool repeatable = false; // may be given more than once
};

using CliOptionTable = std::vector<CliOption>;

// `own` followed by `more` (a command's options and the adjustment options).
CliOptionTable CliOptions(CliOptionTable own, const CliOptionTable& more = {});

// The words of one command line, sorted by its table.
class CliArgs {
public:
    // On an unknown option, a missing value or an option given twice that
    // may not repeat: nullopt, with the message in `error`.
    static std::optional<CliArgs> Parse(const QStringList& words, const CliOptionTable& table, QString* error);

    // The value of an option (the last one if it repeats), if given.
    std::optional<QString> value(const char* name) const;
    // Every value of an option, in command-line order.
    QStringList values(const char* name) const;
    // Whether the option (flag or value) was given.
    bool has(const char* name) const;
    const QStringList& positional() const { return m_positional; }
    // The words as given: the adjustments apply in command-line order.
    const QStringList& words() const { return m_words; }

private:
    QStringList m_words;
    QStringList m_positional;
    std::vector<std::pair<QString, QString>> m_given; // name, value ("" for flags)
};

// One line per option: "  --name VALUE   help".
QString CliOptionHelp(const CliOptionTable& table);
