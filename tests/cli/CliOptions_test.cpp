#include "cli/CliOptions.h"

#include "CliRunner.h"

#include <gtest/gtest.h>

namespace {

const CliOptionTable kTable{
    {"--first", "A", "first frame"},
    {"--point", "X,Y", "a point", true},
    {"--overwrite", nullptr, "replace files"},
};

std::optional<CliArgs> Parse(const QStringList& words, QString* error)
{
    return CliArgs::Parse(words, kTable, error);
}

} // namespace

TEST(CliOptions, SortsWordsIntoOptionsAndPositionals)
{
    QString error;
    // A value may start with a dash; only "--" words are options.
    const auto args = Parse({"in.bvf", "--first", "-5", "--point", "1,2", "-3", "--overwrite", "--point", "3,4"}, &error);
    ASSERT_TRUE(args) << error.toStdString();
    EXPECT_EQ(args->positional(), QStringList({"in.bvf", "-3"}));
    EXPECT_EQ(args->value("--first"), QStringLiteral("-5"));
    EXPECT_EQ(args->values("--point"), QStringList({"1,2", "3,4"}));
    EXPECT_TRUE(args->has("--overwrite"));
    EXPECT_FALSE(args->value("--missing"));
}

TEST(CliOptions, RefusesUnknownMissingAndRepeatedOptions)
{
    struct Case { QStringList words; const char* message; };
    const Case cases[] = {
        {{"in", "--frist", "3"}, "unknown option --frist"},
        {{"in", "--first"}, "--first needs a value"},
        {{"--first", "1", "--first", "2"}, "--first given twice"},
        {{"--overwrite", "--overwrite"}, "--overwrite given twice"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(Parse(c.words, &error)) << c.message;
        EXPECT_EQ(error, QString::fromLatin1(c.message));
    }
}

TEST(CliOptions, HelpListsEveryOption)
{
    const QString help = CliOptionHelp(kTable);
    EXPECT_TRUE(help.contains(QStringLiteral("--first A")));
    EXPECT_TRUE(help.contains(QStringLiteral("--overwrite")));
    EXPECT_EQ(help.count(QLatin1Char('\n')), 3);
}

TEST(CliTool, AnswersHelpAndVersion)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli is not built";
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.outputText.startsWith(QStringLiteral("qorplayer-cli "))) << version.outputText.toStdString();
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"export", "filter", "frame", "info", "make-sample", "this", "track"}) {
        EXPECT_TRUE(help.outputText.contains(QString::fromLatin1(command))) << command;
        const CliRun own = RunCli({command, "--help"});
        EXPECT_EQ(own.exitCode, 0) << command;
        EXPECT_TRUE(own.outputText.startsWith(QStringLiteral("usage: qorplayer-cli ") + command)) << command;
    }
    const CliRun wrong = RunCli({"info", "--bogus"});
    EXPECT_EQ(wrong.exitCode, 2);
    ASSERT_EQ(wrong.toolLines().size(), 1);
    EXPECT_TRUE(wrong.toolLines()[0].contains(QStringLiteral("unknown option --bogus")));
}
