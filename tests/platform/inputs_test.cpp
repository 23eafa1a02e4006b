#include "platform/forms/button.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/frame.h"
#include "platform/forms/pace.h"
#include "platform/forms/shape.h"
#include "platform/forms/textbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void sendKey(QWidget* to, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

TEST(CheckBoxTest, ValueChangesBeforeClickAndCodeChangesNest)
{
    QWidget window;
    vb::CheckBox chkA(&window), chkB(&window);
    std::vector<std::string> journal;
    chkA.Click = [&] {
        journal.push_back("A=" + std::to_string(chkA.Value()));
        if (chkA.Value() == vb::vbChecked)
            chkB.Value = vb::vbUnchecked; // runs B's handler inside A's when it changes
        journal.push_back("A done");
    };
    chkB.Click = [&] { journal.push_back("B=" + std::to_string(chkB.Value())); };

    chkB.Value = vb::vbChecked;
    chkA.ClickWith();
    chkA.Value = vb::vbChecked; // no change, no event
    chkA.ClickWith(vb::vbRightButton);
    chkA.ClickWith();
    EXPECT_EQ(journal, (std::vector<std::string>{"B=1", "A=1", "B=0", "A done", "A=0", "A done"}));

    // The space bar clicks the box as the mouse does.
    journal.clear();
    sendKey(&chkA, Qt::Key_Space, " ");
    EXPECT_EQ(journal, (std::vector<std::string>{"A=1", "A done"}));
}

TEST(OptionButtonTest, OneChoicePerContainer)
{
    QWidget window;
    vb::Frame fraUm(&window), fraDois(&window);
    vb::OptionButton optA(&fraUm), optB(&fraUm), optC(&fraDois);
    std::vector<std::string> clicks;
    optA.Click = [&] { clicks.push_back("A"); };
    optB.Click = [&] { clicks.push_back("B"); };
    optC.Click = [&] { clicks.push_back("C"); };

    optA.Value = true;
    optC.ClickWith();
    optB.ClickWith();
    EXPECT_FALSE(optA.Value()) << "choosing B clears A, its neighbour";
    EXPECT_TRUE(optB.Value());
    EXPECT_TRUE(optC.Value()) << "another container is another group";

    optB.ClickWith(); // the player's click on the chosen option still raises Click
    optB.Value = false; // clearing from code raises nothing
    EXPECT_EQ(clicks, (std::vector<std::string>{"A", "C", "B", "B"}));

    // Moved into the other frame, A joins C's group and keeps its place.
    optA.Move(300, 450, 2000, 285);
    vb::SetContainer(optA, fraDois);
    EXPECT_EQ(optA.parentWidget(), &fraDois);
    EXPECT_EQ(optA.Left(), 300);
    EXPECT_EQ(optA.Top(), 450);
    EXPECT_FALSE(optA.isHidden());
    optA.ClickWith();
    EXPECT_FALSE(optC.Value());
}

class ButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 200);
        cmdOk.Caption = "&Ok";
        cmdCancelar.Caption = "&Cancelar";
        cmdOk.Click = [&] { clicks.push_back("ok"); };
        cmdCancelar.Click = [&] { clicks.push_back("cancelar"); };
        cmdOutro.Click = [&] { clicks.push_back("outro"); };
        window.show();
    }

    QWidget window;
    vb::TextBox txtNome{&window};
    vb::CheckBox chkSom{&window};
    vb::CommandButton cmdOk{&window}, cmdCancelar{&window}, cmdOutro{&window};
    std::vector<std::string> clicks;
};

TEST_F(ButtonWindowTest, EnterAndEscapeReachTheDefaultAndCancelButtons)
{
    cmdOk.Default = true;
    cmdCancelar.Cancel = true;
    txtNome.RaiseKeys("x\r");
    sendKey(&chkSom, Qt::Key_Escape);
    sendKey(&cmdOutro, Qt::Key_Return, "\r"); // a focused button takes Enter itself
    sendKey(&cmdOutro, Qt::Key_Space, " ");
    EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancelar", "outro", "outro"}));
    EXPECT_EQ(txtNome.Text(), "x");

    // One default per window; a hidden or disabled one takes no key.
    clicks.clear();
    cmdOutro.Default = true;
    EXPECT_FALSE(cmdOk.Default());
    txtNome.RaiseKeys("\r");
    cmdOutro.Enabled = false;
    cmdCancelar.Visible = false;
    txtNome.RaiseKeys("\r");
    sendKey(&chkSom, Qt::Key_Escape);
    EXPECT_EQ(clicks, (std::vector<std::string>{"outro"}));
}

TEST(TextBoxTest, KeyPressSeesEachKeyAndCanSwallowOrReplaceIt)
{
    QWidget window;
    vb::TextBox txtNome(&window);
    std::vector<int> seen;
    int changes = 0;
    txtNome.KeyPress = [&](int& KeyAscii) {
        seen.push_back(KeyAscii);
        if (KeyAscii == '#')
            KeyAscii = 0;
        else if (KeyAscii == 'a')
            KeyAscii = 'A';
    };
    txtNome.Change = [&] { ++changes; };

    txtNome.RaiseKeys("a#b\r\b");
    EXPECT_EQ(txtNome.Text(), "A");
    EXPECT_EQ(seen, (std::vector<int>{'a', '#', 'b', 13, 8}));
    EXPECT_EQ(changes, 3) << "A, then b, then the backspace";

    txtNome.MaxLength = 3;
    txtNome.RaiseKeys("bcde");
    EXPECT_EQ(txtNome.Text(), "Abc");
    txtNome.Locked = true;
    txtNome.RaiseKeys("z");
    EXPECT_EQ(txtNome.Text(), "Abc");
    EXPECT_EQ(seen.back(), 'z') << "a locked box still sees the key";
    txtNome.Text = "Mirvo";
    EXPECT_EQ(changes, 6);
    txtNome.Locked = false;
    txtNome.RaiseKeys("s");
    EXPECT_EQ(txtNome.Text(), "Mirvo") << "the limit holds for typing only";
    txtNome.SelStart = 2;
    txtNome.RaiseKeys("\b\b");
    EXPECT_EQ(txtNome.Text(), "rvo") << "the caret stays where the player left it";
}

TEST(TextBoxTest, SelectionByStartAndLength)
{
    QWidget window;
    vb::TextBox txtServer(&window);
    txtServer.Text = "192.168.0.2";
    txtServer.SelStart = 0;
    txtServer.SelLength = txtServer.Text().size();
    EXPECT_EQ(txtServer.SelStart(), 0);
    EXPECT_EQ(txtServer.SelLength(), 11);
    txtServer.SelStart = 4;
    EXPECT_EQ(txtServer.SelLength(), 0) << "a new start drops the selection";
    txtServer.SelLength = 3;
    txtServer.RaiseKeys("x");
    EXPECT_EQ(txtServer.Text(), "192.x.0.2");
}

TEST(TextBoxTest, FocusMovesBetweenBoxesWithLostFocusFirst)
{
    QWidget window;
    window.resize(300, 100);
    vb::TextBox txtUm(&window), txtDois(&window);
    vb::CommandButton cmdOk(&window);
    txtUm.Move(0, 0, 1500, 300);
    txtDois.Move(0, 450, 1500, 300);
    cmdOk.Move(0, 900, 1500, 300);
    std::vector<std::string> journal;
    txtUm.GotFocus = [&] { journal.push_back("um+"); };
    txtUm.LostFocus = [&] { journal.push_back("um-"); };
    txtDois.GotFocus = [&] { journal.push_back("dois+"); };
    txtDois.LostFocus = [&] { journal.push_back("dois-"); };
    window.show();
    window.activateWindow();
    vb::DoEvents();
    ASSERT_TRUE(window.isActiveWindow());

    txtUm.SetFocus();
    txtDois.SetFocus();
    cmdOk.setFocus();
    EXPECT_EQ(journal, (std::vector<std::string>{"um+", "um-", "dois+", "dois-"}));
    EXPECT_FALSE(txtDois.HasFocus());

    // Focus set while another window is in front (a message box) arrives
    // when the window comes back; its own activation raises nothing more.
    journal.clear();
    txtUm.SetFocus();
    QWidget box;
    box.show();
    box.activateWindow();
    vb::DoEvents();
    ASSERT_FALSE(window.isActiveWindow());
    txtDois.SetFocus();
    box.hide();
    window.activateWindow();
    vb::DoEvents();
    EXPECT_EQ(journal, (std::vector<std::string>{"um+", "um-", "dois+"}));
    EXPECT_TRUE(txtDois.HasFocus());

    box.show();
    box.activateWindow();
    vb::DoEvents();
    cmdOk.setFocus();
    box.hide();
    window.activateWindow();
    vb::DoEvents();
    EXPECT_EQ(journal.back(), "dois-");
}

TEST(TextBoxTest, ABoxEndingWithTheFocusHearsNothingMore)
{
    QWidget window;
    vb::TextBox txtFica(&window);
    auto* txtVai = new vb::TextBox(&window);
    int lost = 0;
    txtVai->LostFocus = [&] { ++lost; };
    window.show();
    window.activateWindow();
    vb::DoEvents();
    txtVai->SetFocus();
    ASSERT_TRUE(txtVai->HasFocus());

    delete txtVai; // the focus leaves it from inside the widget's own ending
    EXPECT_EQ(lost, 0);
    txtFica.SetFocus();
    EXPECT_TRUE(txtFica.HasFocus());
}

TEST(ShapeTest, LetsTheMouseThroughToTheControlBelow)
{
    QWidget window;
    window.resize(200, 100);
    vb::TextBox txtNome(&window);
    vb::Shape ln(&window);
    txtNome.Move(0, 0, 1500, 300);
    ln.Move(0, 0, 1500, 300);
    ln.ZOrder(0);
    window.show();
    EXPECT_EQ(window.childAt(5, 5)->parentWidget(), &txtNome);
}

} // namespace
