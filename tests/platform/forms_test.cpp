#include "platform/instance.h"
#include "support/qtprint.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"
#include "platform/forms/handlers.h"
#include "platform/forms/label.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/timer.h"
#include "platform/placement.h"
#include "platform/winsock/msgwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> journal;

class frmProbe : public vb::FormBase<frmProbe> {
public:
    frmProbe() : picCard(this), lblText(this)
    {
        ScaleWidth = 3000;
        ScaleHeight = 2000;
        picCard.Move(150, 150, 1065, 1440);
        lblText.Move(1500, 150, 900, 300);
        picCard.MouseDown = [](int b, int, float, float) { journal.push_back("down" + std::to_string(b)); };
        picCard.MouseUp = [](int b, int, float, float) { journal.push_back("up" + std::to_string(b)); };
        picCard.Click = [] { journal.push_back("click"); };
    }
    void Form_Load() override { journal.push_back("load"); }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override
    {
        journal.push_back("query" + std::to_string(UnloadMode));
        Cancel = refuseUnload;
    }
    void Form_Unload(int&) override { journal.push_back("unload"); }
    void Form_MouseMove(int, int, float, float) override { journal.push_back("form-move"); }

    vb::PictureBox picCard;
    vb::Label lblText;
    bool refuseUnload = false;
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override
    {
        if (auto* form = frmProbe::IfLoaded()) {
            form->refuseUnload = false;
            form->Unload();
        }
        vb::DoEvents();
    }
};

TEST_F(FormsTest, LoadsOnFirstUseAndFreshAfterUnload)
{
    frmProbe& first = frmProbe::Get();
    frmProbe::Get();
    EXPECT_EQ(journal, (std::vector<std::string>{"load"}));

    first.refuseUnload = true;
    first.Unload();
    EXPECT_TRUE(frmProbe::Loaded()) << "a cancelled unload keeps the form";

    first.refuseUnload = false;
    first.Unload();
    EXPECT_FALSE(frmProbe::Loaded());
    QPointer<frmProbe> old(&first);
    vb::DoEvents();
    EXPECT_TRUE(old.isNull()) << "destroyed once no handler runs";

    frmProbe::Get();
    EXPECT_EQ(journal, (std::vector<std::string>{"load", "query1", "query1", "unload", "load"}));
}

TEST_F(FormsTest, CloseBoxAsksTheFormWithItsOwnMode)
{
    frmProbe& form = frmProbe::Get();
    form.Show();
    form.refuseUnload = true;
    form.close();
    EXPECT_TRUE(frmProbe::Loaded());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(journal.back(), "query0");
}

TEST_F(FormsTest, NothingIsDestroyedWhileOneOfItsHandlersRuns)
{
    frmProbe& form = frmProbe::Get();
    QPointer<frmProbe> watched(&form);
    bool aliveAfterNestedLoop = false;
    vb::RunHandler([&] {
        form.Unload();
        vb::DoEvents(); // a nested loop, as a pause or a flight runs one
        QEventLoop nested;
        QTimer::singleShot(0, &nested, &QEventLoop::quit);
        nested.exec();
        aliveAfterNestedLoop = !watched.isNull();
    });
    EXPECT_TRUE(aliveAfterNestedLoop);
    vb::DoEvents();
    EXPECT_TRUE(watched.isNull());
}

TEST_F(FormsTest, ModalShowWaitsUntilHiddenOrUnloaded)
{
    frmProbe& form = frmProbe::Get();
    QTimer::singleShot(0, [&] {
        journal.push_back("inside");
        form.Hide();
    });
    form.Show(vb::vbModal);
    journal.push_back("returned");
    EXPECT_EQ(journal, (std::vector<std::string>{"load", "inside", "returned"}));

    QTimer::singleShot(0, [&] { form.Unload(); });
    form.Show(vb::vbModal);
    EXPECT_FALSE(frmProbe::Loaded());
}

TEST_F(FormsTest, ClickFollowsTheLeftButtonOnly)
{
    frmProbe& form = frmProbe::Get();
    form.picCard.ClickWith(vb::vbRightButton);
    form.picCard.ClickWith(vb::vbLeftButton);
    EXPECT_EQ(journal, (std::vector<std::string>{"load", "down2", "up2", "down1", "up1", "click"}));
}

TEST_F(FormsTest, RealPressAndReleaseOutsideGiveNoClick)
{
    frmProbe& form = frmProbe::Get();
    form.Show();
    auto send = [&](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, form.picCard.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form.picCard, &event);
    };
    send(QEvent::MouseButtonPress, {5, 5});
    send(QEvent::MouseButtonRelease, {500, 500});
    send(QEvent::MouseButtonPress, {5, 5});
    send(QEvent::MouseButtonRelease, {6, 6});
    EXPECT_EQ(journal, (std::vector<std::string>{"load", "down1", "up1", "down1", "up1", "click"}));
}

TEST_F(FormsTest, FormSeesMouseMovesOnlyOverItsBareSurface)
{
    frmProbe& form = frmProbe::Get();
    form.Show();
    QMouseEvent overLabel(QEvent::MouseMove, QPointF(3, 3), form.lblText.mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&form.lblText, &overLabel);
    EXPECT_EQ(journal, (std::vector<std::string>{"load"}));
    QMouseEvent overForm(QEvent::MouseMove, QPointF(190, 120), form.mapToGlobal(QPointF(190, 120)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &overForm);
    EXPECT_EQ(journal.back(), "form-move");
}

class frmDialogProbe : public vb::FormBase<frmDialogProbe> {};

TEST_F(FormsTest, ActivationRestoresTheMinimisedWindowsUnderTheForemost)
{
    frmProbe& table = frmProbe::Get();
    table.Show();
    table.WindowState = vb::vbMinimized;
    frmDialogProbe& dialog = frmDialogProbe::Get();
    dialog.Show(vb::vbModeless, &table);
    dialog.WindowState = vb::vbMinimized;
    vb::ActivateForemostForm();
    EXPECT_EQ(vb::ForemostForm(), &dialog);
    EXPECT_EQ(dialog.WindowState(), vb::vbNormal);
    EXPECT_EQ(table.WindowState(), vb::vbNormal) << "the table comes back with its dialog";
    dialog.Unload();
}

TEST_F(FormsTest, GeometryKeepsTheTwipsItWasGiven)
{
    frmProbe& form = frmProbe::Get();
    form.picCard.Left = 3450;
    form.picCard.Top += 7; // less than a pixel
    EXPECT_EQ(form.picCard.Left(), 3450);
    EXPECT_EQ(form.picCard.Top(), 157);
    EXPECT_EQ(form.picCard.x(), 230);
    EXPECT_EQ(form.picCard.width(), 71);
}

TEST(FormPlaceTest, AWindowThatFitsIsCentredAndOneThatDoesNotKeepsItsCornerOnTheScreen)
{
    const struct { QRect area; QSize window; QPoint place; QRect screen = area; } cases[] = {
        {{0, 0, 1280, 900}, {796, 513}, {242, 193}},                        // the table at ratio 1
        {{0, 30, 640, 420}, {796, 513}, {0, 30}},                           // at ratio 2 under a panel
        {{0, 0, 700, 600}, {796, 400}, {0, 100}},                           // too wide only
        {{1000, 100, 600, 400}, {396, 255}, {884, 172}, {0, 0, 1280, 900}}, // over an owner off the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::StartUpPlace(c.area, c.window, c.screen), c.place);
}

TEST(ControlArrayTest, IndexesFollowTheirRangeAndReachOneHandler)
{
    QWidget container;
    vb::ControlArray<vb::Label, 0, 5> lblMenu(&container);
    std::vector<int> clicked;
    lblMenu.Click = [&](int Index) { clicked.push_back(Index); };
    lblMenu(0).ClickWith();
    lblMenu(5).ClickWith();
    EXPECT_EQ(clicked, (std::vector<int>{0, 5}));
    EXPECT_THROW(lblMenu(6), std::out_of_range);
    EXPECT_THROW(lblMenu(-1), std::out_of_range);
}

TEST(PictureTest, SharedPicturesCompareByIdentity)
{
    QWidget container;
    vb::PictureBox a(&container), b(&container);
    const vb::Picture back = vb::MakePicture(QPixmap(71, 96));
    const vb::Picture lookalike = vb::MakePicture(QPixmap(71, 96));
    a.Picture = back;
    b.Picture = a.Picture;
    EXPECT_TRUE(b.Picture == back);
    EXPECT_FALSE(b.Picture == lookalike);
}

// A picture given by its source is painted once, when first read or shown, and
// is then the same shared picture on every read.
TEST(PictureTest, APictureSourceIsPaintedOnceWhenFirstNeeded)
{
    QWidget container;
    vb::Image store(&container);
    vb::PictureBox shown(&container);
    int paints = 0;
    const auto red = [&paints] {
        ++paints;
        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::red);
        return pixmap;
    };
    store.SetPictureSource(red);
    shown.SetPictureSource(red);
    shown.Move(0, 0, 60, 60);
    EXPECT_EQ(paints, 0) << "nothing is painted before it is needed";

    const vb::Picture first = store.Picture;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->toImage().pixel(1, 1), QColor(Qt::red).rgb());
    EXPECT_TRUE(store.Picture == first) << "later reads share the painted picture";
    EXPECT_EQ(paints, 1);

    EXPECT_EQ(shown.grab().toImage().pixel(1, 1), QColor(Qt::red).rgb());
    EXPECT_EQ(paints, 2);
    EXPECT_TRUE(shown.Picture() == shown.Picture());
    EXPECT_EQ(paints, 2);

    // A picture set over a source not yet painted replaces it for good.
    vb::Image replaced(&container);
    replaced.SetPictureSource(red);
    replaced.Picture = first;
    EXPECT_TRUE(replaced.Picture == first);
    replaced.Picture = vb::Picture();
    EXPECT_FALSE(replaced.Picture());
    EXPECT_EQ(paints, 2);
}

// An image shows its whole picture, given or painted when first needed; a picture box keeps its box.
TEST(PictureTest, AnImageTakesItsPicturesSize)
{
    QWidget container;
    QPixmap beads(48, 30);
    beads.setDevicePixelRatio(2);
    vb::Image given(&container), painted(&container);
    vb::PictureBox box(&container);
    for (vb::PictureControl* control : std::initializer_list<vb::PictureControl*>{&given, &painted, &box})
        control->Move(0, -30, 330, 225);
    given.Picture = vb::MakePicture(beads);
    box.Picture = given.Picture();
    painted.SetPictureSource([&] { return beads; });
    EXPECT_TRUE(painted.Picture());
    EXPECT_EQ(given.geometry(), QRect(0, -2, 24, 15));
    EXPECT_EQ(painted.geometry(), QRect(0, -2, 24, 15));
    EXPECT_EQ(box.size(), QSize(22, 15));
}

TEST(PaceTest, TimersAndSleepsFollowThePace)
{
    vb::SetPaceFactor(1);
    EXPECT_EQ(vb::Timer::EffectiveInterval(4000, true), 4000);
    EXPECT_EQ(vb::Timer::EffectiveInterval(1, true), 15) << "the resolution floor";
    EXPECT_EQ(vb::Timer::EffectiveInterval(0, true), 0);
    vb::SetPaceFactor(0);
    EXPECT_EQ(vb::Timer::EffectiveInterval(4000, true), 0);
    EXPECT_EQ(vb::Timer::EffectiveInterval(75, false), 75) << "unpaced timers keep their interval";
    const auto start = std::chrono::steady_clock::now();
    vb::Sleep(5000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(PaceTest, WaitingForAConditionDoesNotSpin)
{
    bool done = false;
    QTimer::singleShot(300, [&] { done = true; });
    int looks = 0;
    vb::WaitUntil([&] {
        ++looks;
        return done;
    });
    EXPECT_TRUE(done);
    // A wait that blocks looks again only when an event came; one that spins
    // looks thousands of times in 300 ms, however loaded the machine.
    EXPECT_LT(looks, 300);
}

TEST(HandlerTest, AFailingHandlerIsToldInOneLineAndTheLoopGoesOn)
{
    QStringList told;
    auto previous = vb::SetHandlerFailureHook([&](const QString& line) { told << line; });
    vb::RunHandler([] { throw std::runtime_error("fora do baralho"); }, "frmProbe_Click");
    vb::RunHandler([] { throw 7; }, "frmProbe_Load");
    vb::RunHandler([] {});
    vb::SetHandlerFailureHook(previous);
    EXPECT_EQ(told, (QStringList{"frmProbe_Click failed: fora do baralho", "frmProbe_Load failed: unknown exception"}));
}

// A window that notes its repaints and close requests.
class PaintProbe : public QWidget {
public:
    explicit PaintProbe(std::vector<std::string>& seen) : seen_(seen) {}

protected:
    void paintEvent(QPaintEvent*) override { seen_.push_back("paint"); }
    void closeEvent(QCloseEvent* event) override
    {
        seen_.push_back("close");
        event->ignore();
    }

private:
    std::vector<std::string>& seen_;
};

TEST(PaceTest, APauseRepaintsWhileInputTimersAndGameMessagesWait)
{
    std::vector<std::string> seen;
    PaintProbe window(seen);
    window.show();
    vb::WaitUntil([&] { return !seen.empty(); });
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { seen.push_back("timer"); });
    const ws::HWND hWnd = ws::CreateMessageWindow();
    ws::SetWindowProc(hWnd, [&](ws::HWND, std::uint32_t, std::int32_t, std::int32_t) {
        seen.push_back("message");
        return 0;
    });
    // Runs in the pause's first round: what it asks for arrives during the sleep.
    QTimer::singleShot(0, [&] {
        seen.clear();
        window.update();
        timer.start(0);
        ws::PostMessage(hWnd, 0x400, 0, 0);
        QCoreApplication::postEvent(&window, new QCloseEvent);
    });
    vb::SetPaceFactor(1);
    vb::Pause(100);
    vb::SetPaceFactor(0);
    seen.push_back("returned");
    vb::WaitUntil([&] { return seen.size() >= 5; });
    ws::DestroyWindow(hWnd);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], "paint") << "the screen stays current during the pause";
    EXPECT_EQ(seen[1], "returned");
    std::vector<std::string> after(seen.begin() + 2, seen.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (std::vector<std::string>{"close", "message", "timer"})) << "each waits for the pause's end";
}

TEST(MsgBoxTest, ResponderSeesTheApplicationTitleByDefault)
{
    std::vector<vb::MsgBoxRequest> asked;
    auto previous = vb::SetMsgBoxResponder([&](const vb::MsgBoxRequest& r) {
        asked.push_back(r);
        return vb::vbNo;
    });
    instance::SetTitle("Instancia Cancelada");
    EXPECT_EQ(vb::MsgBox("Pergunta?", vb::vbYesNo | vb::vbQuestion), vb::vbNo);
    vb::MsgBox("Aviso", vb::vbInformation, "Aviso!");
    instance::SetTitle("Mirvo Vorla");
    vb::SetMsgBoxResponder(previous);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].title, "Instancia Cancelada");
    EXPECT_EQ(asked[1].title, "Aviso!");
}

TEST(MsgBoxTest, RealBoxHasPortugueseButtonsAndBelongsToTheActiveWindow)
{
    QWidget asking;
    asking.show();
    QApplication::setActiveWindow(&asking);
    QStringList texts;
    QWindow* ownerWindow = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        ownerWindow = box->windowHandle()->transientParent();
        for (QAbstractButton* b : box->buttons())
            texts << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QString::fromUtf8("Não"))
                b->click();
    });
    EXPECT_EQ(vb::MsgBox("Jogar?", vb::vbYesNo), vb::vbNo);
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"Não", "Sim"}));
    EXPECT_EQ(ownerWindow, asking.windowHandle()) << "the window manager keeps the box above its owner";
}

TEST(MsgBoxTest, OpenBoxesCloseFromCodeAsByTheirEscapeButton)
{
    QTimer::singleShot(0, [] { vb::CloseMsgBoxes(); });
    EXPECT_EQ(vb::MsgBox("Jogar?", vb::vbYesNo), vb::vbNo);

    bool closed = false;
    auto previous = vb::SetMsgBoxResponder([&](const vb::MsgBoxRequest& r) {
        EXPECT_FALSE(r.Closed());
        vb::CloseMsgBoxes();
        closed = r.Closed();
        return vb::vbOK;
    });
    vb::MsgBox("Aviso");
    vb::SetMsgBoxResponder(previous);
    EXPECT_TRUE(closed);
}

} // namespace
