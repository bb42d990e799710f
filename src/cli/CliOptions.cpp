#include "cli/CliOptions.h"

#include <algorithm>

CliOptionTable CliOptions(CliOptionTable own, const CliOptionTable& more)
{
    own.insert(own.end(), more.begin(), more.end());
    return own;
}

std::optional<CliArgs> CliArgs::Parse(const QStringList& words, const CliOptionTable& table, QString* error)
{
    CliArgs args;
    args.m_words = words;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!word.startsWith(QLatin1String("--"))) {
            args.m_positional << word;
            continue;
        }
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const CliOption& o) { return word == QLatin1String(o.name); });
        if (option == table.end()) {
            *error = QStringLiteral("unknown option %1").arg(word);
            return std::nullopt;
        }
        if (!option->repeatable && args.has(option->name)) {
            *error = QStringLiteral("%1 given twice").arg(word);
            return std::nullopt;
        }
        QString value;
        if (option->value) {
            if (i + 1 >= words.size()) {
                *error = QStringLiteral("%1 needs a value").arg(word);
                return std::nullopt;
            }
            value = words[++i];
        }
        args.m_given.emplace_back(word, value);
    }
    return args;
}

std::optional<QString> CliArgs::value(const char* name) const
{
    for (auto it = m_given.rbegin(); it != m_given.rend(); ++it)
        if (it->first == QLatin1String(name))
            return it->second;
    return std::nullopt;
}

QStringList CliArgs::values(const char* name) const
{
    QStringList result;
    for (const auto& [given, value] : m_given)
        if (given == QLatin1String(name))
            result << value;
    return result;
}

bool CliArgs::has(const char* name) const
{
    return value(name).has_value();
}

QString CliOptionHelp(const CliOptionTable& table)
{
    QString text;
    for (const CliOption& o : table) {
        const QString left = o.value ? QStringLiteral("%1 %2").arg(QLatin1String(o.name), QLatin1String(o.value))
                                     : QString::fromLatin1(o.name);
        text += QStringLiteral("  %1  %2\n").arg(left, -24).arg(QLatin1String(o.help));
    }
    return text;
}
