#include "shell/modFunoes.h"

#include "game/modGame.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/forms/picturebox.h"

#include <QTimer>
#include <tuple>
#include <vector>
#include <gtest/gtest.h>

namespace {

struct Ask {
    QString text;
    int n;
    QString field;
};

// Asks for one field of a fresh copy of text and returns the field.
QString Field(QString text, int n, const QString& separator = QStringLiteral("#"))
{
    return GetField(text, n, separator);
}

TEST(GetField, CutsFieldsAndLeavesTheCallersTextWithSeparatorsAtBothEnds)
{
    QString text = QStringLiteral("a#b");
    EXPECT_EQ(GetField(text, 2, QStringLiteral("#")), "b");
    EXPECT_EQ(text, "#a#b#");
    EXPECT_EQ(GetField(text, 1, QStringLiteral("#")), "a");
    EXPECT_EQ(text, "#a#b#"); // already normalised: nothing more is added

    QString leading = QStringLiteral("#a");
    GetField(leading, 1, QStringLiteral("#"));
    EXPECT_EQ(leading, "#a#");
    QString trailing = QStringLiteral("a#");
    GetField(trailing, 0, QStringLiteral("#")); // normalised even when no field is taken
    EXPECT_EQ(trailing, "#a#");
    QString empty;
    GetField(empty, 2, QStringLiteral("#"));
    EXPECT_EQ(empty, "#");
}

TEST(GetField, EmptyFieldsAndOutOfRangeNumbersGiveTheEmptyText)
{
    const Ask cases[] = {
        {"#a##b#", 2, ""},  {"#a##b#", 3, "b"},
        {"a#b#c", 0, ""},   {"a#b#c", -1, ""},
        {"a#b#c", 3, "c"},  {"a#b#c", 4, ""},  {"a#b#c", 5, ""},
        // Past the end the search must not start over at the first field.
        {"a#b#c", 6, ""},   {"a#b#c", 7, ""},  {"a#b#c", 32767, ""},
        {"", 1, ""},        {"", 3, ""},
    };
    for (const Ask& c : cases)
        EXPECT_EQ(Field(c.text, c.n), c.field) << c.text.toStdString() << " field " << c.n;
}

TEST(GetField, MessageKeywordIsFieldOneAndLongerSeparatorsWork)
{
    QString message = QStringLiteral("Jogar:#2");
    EXPECT_EQ(GetField(message, 1, QStringLiteral("#")), "Jogar:");
    EXPECT_EQ(GetField(message, 2, QStringLiteral("#")), "2");
    EXPECT_EQ(message, "#Jogar:#2#");

    QString text = QStringLiteral("ab::cd");
    EXPECT_EQ(GetField(text, 2, QStringLiteral("::")), "cd");
    EXPECT_EQ(text, "::ab::cd::");
    EXPECT_EQ(Field(text, 3, QStringLiteral("::")), "");
    EXPECT_EQ(Field(QStringLiteral("aXb"), 2, QStringLiteral("x")), ""); // exact case
}

} // namespace

namespace {

TEST(CardFlight, FliesToTheTargetThenReturnsHiddenOrStopsWhereItIs)
{
    vb::SetPaceFactor(0);
    QWidget table;
    vb::PictureBox card(&table), target(&table);
    card.Move(8265, 3300, 1065, 1440);
    target.Move(3465, 5775, 1065, 1440);
    std::vector<QPoint> path;
    // Each step hands events over, so a timer sees the card on its way.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { path.emplace_back(card.Left, card.Top); });
    watch.start(0);
    const auto always = [] { return true; };
    AnimateCardMove(card, target, 15, always);
    watch.stop();
    EXPECT_FALSE(card.Visible);
    EXPECT_EQ(card.Left(), 8265) << "put back where it started";
    ASSERT_FALSE(path.empty());
    EXPECT_NEAR(path.back().x(), 3465, 15);
    EXPECT_NEAR(path.back().y(), 5775, 15);

    card.Visible = true;
    StopAnimation = true;
    AnimateCardMove(card, target, 15, always);
    StopAnimation = false;
    EXPECT_TRUE(card.Visible) << "a stopped flight leaves the card where it was";
    EXPECT_EQ(card.Left(), 8265);

    // The caller's step stops being current on the way: the card stays put.
    QPoint whenReplaced;
    bool current = true;
    QTimer::singleShot(0, [&] {
        whenReplaced = QPoint(card.Left, card.Top);
        current = false;
    });
    AnimateCardMove(card, target, 15, [&] { return current; });
    EXPECT_TRUE(card.Visible);
    EXPECT_NE(whenReplaced, QPoint(8265, 3300)) << "it had set off";
    EXPECT_EQ(QPoint(card.Left, card.Top), whenReplaced);
}

class frmShaken : public vb::FormBase<frmShaken> {};

TEST(Nudge, AShakenWindowEndsWhereItStarted)
{
    frmShaken& form = frmShaken::Get();
    form.ScaleWidth = 3000;
    form.ScaleHeight = 2000;
    form.Show();
    form.Left = 1500;
    form.Top = 1200;
    ShakeForm(form);
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Top(), 1200);
    form.Unload();
}

TEST(HelpFile, ADamagedHelpFileIsSaidInTheBoxOfAMissingOne)
{
    std::vector<vb::MsgBoxRequest> boxes;
    const auto previous = vb::SetMsgBoxResponder([&](const vb::MsgBoxRequest& box) {
        boxes.push_back(box);
        return int(vb::vbOK);
    });
    EXPECT_FALSE(HelpFileFound(QString()));
    EXPECT_FALSE(HelpFileFound(SOURCE_DIR "/README.md")) << "a file that is no help file";
    vb::SetMsgBoxResponder(previous);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(std::tie(boxes[1].prompt, boxes[1].style, boxes[1].title),
              std::tie(boxes[0].prompt, boxes[0].style, boxes[0].title));
}

} // namespace
