#include "netplay/frmSearch.h"

#include "game/modGame.h"
#include "netplay/frmIniciar.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "socket/CNetSocket.h"

#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A listening socket on port 1244 of an address ("0.0.0.0" for all). It
// records every connection in the order they came, and answers each with a
// name when it has one. Connections are taken at once while the event loop
// runs, or all together by drain().
class FakeHost {
public:
    FakeHost(const char* address, QByteArray name = {}) : name_(std::move(name))
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(1244);
        ::inet_pton(AF_INET, address, &at.sin_addr);
        listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::listen(fd_, 1024) == 0;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
    }
    ~FakeHost()
    {
        notifier_.reset();
        ::close(fd_);
    }

    void drain()
    {
        for (int peer; (peer = ::accept(fd_, nullptr, nullptr)) >= 0;) {
            sockaddr_in called{};
            socklen_t size = sizeof called;
            ::getsockname(peer, reinterpret_cast<sockaddr*>(&called), &size);
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &called.sin_addr, text, sizeof text);
            probes.push_back(text);
            times.push_back(Clock::now() - std::chrono::milliseconds(sinceConnected(peer)));
            if (!name_.isEmpty() && ::write(peer, name_.constData(), name_.size()) != name_.size())
                ADD_FAILURE() << "the answer did not go out";
            ::close(peer);
        }
    }

    bool listening_ = false;
    std::vector<QString> probes;
    std::vector<Clock::time_point> times; // when each probe connected, however late it was taken

private:
    // How long ago the system completed the connection, so that a loaded
    // machine that takes it late does not shift the probe's time.
    static unsigned sinceConnected(int peer)
    {
        tcp_info info{};
        socklen_t size = sizeof info;
        return ::getsockopt(peer, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 ? info.tcpi_last_ack_recv : 0;
    }

    QByteArray name_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Runs the test in a network namespace of its own: a veth pair whose one end
// holds the machine's address 10.77.0.5/24 (and the extra addresses a case
// asks for), its other end nothing, so probes of other addresses go unanswered.
// With allLocal every address of that subnet belongs to this machine, so one
// listener sees every probe. Leaves the namespace again at the end.
#define ENTER_SUBNET(extraSetup)                                                                                   \
    if (!enter(extraSetup))                                                                                          \
    GTEST_SKIP() << "no private network namespace with a veth pair for this process"

class SubnetSearch : public ::testing::Test {
protected:
    bool enter(const char* extraSetup)
    {
        home_ = ::open("/proc/self/ns/net", O_RDONLY);
        if (home_ < 0 || ::unshare(CLONE_NEWNET) != 0)
            return false;
        entered_ = true;
        const std::string setup = std::string("ip link set lo up && ip link add sv0 type veth peer name sv1 && "
                                              "ip addr add 10.77.0.5/24 dev sv0 && ip link set sv0 up && "
                                              "ip link set sv1 up")
                                  + extraSetup + " 2>&1";
        return std::system(setup.c_str()) == 0;
    }

    void SetUp() override
    {
        ServerIP.clear();
        previous_ = vb::SetMsgBoxResponder([this](const vb::MsgBoxRequest& r) {
            boxes.push_back(r);
            if (onBox)
                onBox(r);
            return vb::vbOK;
        });
    }

    void TearDown() override
    {
        frmSearch::UnloadIfLoaded();
        frmIniciar::UnloadIfLoaded();
        vb::DoEvents();
        vb::SetMsgBoxResponder(previous_);
        vb::SetPaceFactor(0);
        frmSearch::LastOctet = 254;
        ServerIP.clear();
        if (entered_ && ::setns(home_, CLONE_NEWNET) != 0)
            ADD_FAILURE() << "could not leave the test's network namespace";
        if (home_ >= 0)
            ::close(home_);
    }

    // The search as the new-game dialog opens it, but without blocking the test.
    frmSearch& started()
    {
        frmSearch& search = frmSearch::Get();
        search.Show();
        return search;
    }

    static std::vector<QString> subnet(int from, int to)
    {
        std::vector<QString> addresses;
        for (int i = from; i <= to; ++i)
            addresses.push_back(QString("10.77.0.%1").arg(i));
        return addresses;
    }

    std::vector<vb::MsgBoxRequest> boxes;
    std::function<void(const vb::MsgBoxRequest&)> onBox;

private:
    int home_ = -1;
    bool entered_ = false;
    vb::MsgBoxResponder previous_;
};

TEST_F(SubnetSearch, ProbesTheOwnSubnetFrom1To254InOrderOneAtATime)
{
    ENTER_SUBNET(" && ip route add local 10.77.0.0/24 dev lo table local");
    FakeHost silent("0.0.0.0");
    ASSERT_TRUE(silent.listening_);
    QString label, status;
    bool barHidden = false, statusMovedUp = false;
    onBox = [&](const vb::MsgBoxRequest&) {
        frmSearch& search = frmSearch::Get();
        label = search.lblInfo.Caption;
        status = search.lblSearch.Caption;
        barHidden = !search.GlossProgress.Visible;
        statusMovedUp = search.lblSearch.Top == search.GlossProgress.Top + 100;
    };
    frmSearch& search = started();
    EXPECT_EQ(search.Prefix, "10.77.0.");
    EXPECT_EQ(search.GlossProgress.Max, 254);
    EXPECT_EQ(search.GlossProgress.Value, 1);
    EXPECT_FALSE(search.cmdSelecionar.Enabled) << "nothing to select during the scan";
    vb::WaitUntil([] { return !frmSearch::Loaded(); });

    silent.drain();
    EXPECT_EQ(silent.probes, subnet(1, 254)) << "every address once, ascending, the own one included";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QString::fromUtf8("Nenhum jogador disponível neste momento."));
    EXPECT_EQ(boxes[0].title, "Aviso!");
    EXPECT_EQ(boxes[0].style, vb::vbInformation);
    EXPECT_EQ(label, boxes[0].prompt);
    EXPECT_EQ(status, "Busca encerrada!");
    EXPECT_TRUE(barHidden);
    EXPECT_TRUE(statusMovedUp);
    EXPECT_EQ(ServerIP, "");
}

TEST_F(SubnetSearch, GivesEachProbe75MillisecondsThenMovesOn)
{
    ENTER_SUBNET(" && ip route add local 10.77.0.0/24 dev lo table local");
    FakeHost silent("0.0.0.0");
    vb::SetPaceFactor(1);
    frmSearch::LastOctet = 4;
    const auto start = Clock::now();
    started();
    vb::WaitUntil([] { return !frmSearch::Loaded(); });
    const auto took = Clock::now() - start;

    ASSERT_EQ(silent.probes, subnet(1, 4));
    // 75 ms apart, less the slack of the timer and of the system's clock.
    for (std::size_t i = 1; i < silent.times.size(); ++i)
        EXPECT_GE(silent.times[i] - silent.times[i - 1], std::chrono::milliseconds(60)) << "probe " << i + 1;
    EXPECT_GE(took, std::chrono::milliseconds(4 * 70));
    EXPECT_LT(took, std::chrono::seconds(3));
}

TEST_F(SubnetSearch, ListsTheHostsThatAnswerAndHandsThePickedOneBack)
{
    ENTER_SUBNET(" && ip addr add 10.77.0.2/24 dev sv0 && ip addr add 10.77.0.9/24 dev sv0");
    FakeHost first("10.77.0.2", "Jo\xE3o"); // Windows-1252 on the wire
    FakeHost second("10.77.0.9", "Pedro");
    ASSERT_TRUE(first.listening_ && second.listening_);
    vb::SetPaceFactor(1);
    frmSearch::LastOctet = 11;
    frmSearch& search = started();
    QStringList captions;
    vb::WaitUntil([&] {
        if (captions.isEmpty() || captions.back() != search.lblInfo.Caption())
            captions.append(search.lblInfo.Caption);
        return search.lblSearch.Caption() == "Busca encerrada!";
    });

    EXPECT_EQ(captions, QStringList({"", QString::fromUtf8("1 - Jogador encontrado(s) até o momento."),
                                     QString::fromUtf8("2 - Jogador encontrado(s) até o momento."),
                                     "Selecione um jogador na lista!"}));
    ASSERT_EQ(search.lsvSearch.Count(), 2);
    EXPECT_EQ(search.lsvSearch.Text(1), QString::fromUtf8("João"));
    EXPECT_EQ(search.lsvSearch.SubItem(1, 1), "10.77.0.2");
    EXPECT_EQ(search.lsvSearch.Text(2), "Pedro");
    EXPECT_EQ(search.lsvSearch.SubItem(2, 1), "10.77.0.9");
    EXPECT_EQ(search.lblSearch.Caption(), "Busca encerrada!");
    EXPECT_TRUE(search.cmdSelecionar.Enabled);
    EXPECT_TRUE(boxes.empty());

    // Without a selected row "Selecionar" only asks for one.
    search.cmdSelecionar.ClickWith();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "Selecione um jogador na lista!");
    EXPECT_TRUE(frmSearch::Loaded());

    search.lsvSearch.DoubleClick(2);
    EXPECT_EQ(ServerIP, "10.77.0.9");
    EXPECT_FALSE(frmSearch::Loaded());
}

TEST_F(SubnetSearch, AnAnswerMovesTheScanOnAtOnce)
{
    ENTER_SUBNET(" && ip addr add 10.77.0.1/24 dev sv0 && ip addr add 10.77.0.2/24 dev sv0");
    FakeHost first("10.77.0.1", "Ana");
    FakeHost second("10.77.0.2", "Bia");
    vb::SetPaceFactor(1000); // a probe's time-out would outlast the test's limit below
    frmSearch::LastOctet = 2;
    frmSearch& search = started();
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(20000);
    vb::WaitUntil([&] { return !limit.isActive() || search.lblSearch.Caption() == "Busca encerrada!"; });
    EXPECT_EQ(search.lblSearch.Caption(), "Busca encerrada!") << "a probe waited for its time-out";
    EXPECT_EQ(search.lsvSearch.Count(), 2);
}

TEST_F(SubnetSearch, ClosingStopsTheScanAndChoosesNobody)
{
    ENTER_SUBNET(" && ip route add local 10.77.0.0/24 dev lo table local");
    FakeHost silent("0.0.0.0");
    vb::SetPaceFactor(1);
    frmSearch& search = started();
    vb::WaitUntil([&] { return silent.probes.size() >= 3; });
    search.cmdClose.ClickWith();
    EXPECT_FALSE(frmSearch::Loaded());
    // At most the probe made in the turn the window closed has not been seen yet.
    const int seen = int(silent.probes.size());
    // As long as four more probes would take: a scan that went on ticks with this timer.
    int ticks = 0;
    QTimer probeTime;
    QObject::connect(&probeTime, &QTimer::timeout, [&] { ++ticks; });
    probeTime.start(75);
    vb::WaitUntil([&] { return ticks == 4; });
    silent.drain();
    EXPECT_LE(int(silent.probes.size()), seen + 1) << "no probe after the window closed";
    EXPECT_EQ(silent.probes, subnet(1, int(silent.probes.size())));
    EXPECT_EQ(ServerIP, "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SubnetSearch, ThePickedHostGoesIntoTheNewGameDialogAndStartsPlay)
{
    ENTER_SUBNET(" && ip addr add 10.77.0.3/24 dev sv0");
    FakeHost host("10.77.0.3", "Carla");
    vb::SetPaceFactor(1);
    frmSearch::LastOctet = 3;
    frmIniciar& dialog = frmIniciar::Get();
    dialog.optRede.ClickWith();
    dialog.chkCliente.ClickWith();
    dialog.txtJogador.Text = "carla souza";
    dialog.txtServer.Text = "antigo";
    // The search runs modally inside the click; pick the host once it has ended.
    QTimer pick;
    QObject::connect(&pick, &QTimer::timeout, [&] {
        frmSearch* search = frmSearch::IfLoaded();
        if (search && search->cmdSelecionar.Enabled()) {
            pick.stop();
            vb::SetPaceFactor(0); // the dialog's pauses
            search->lsvSearch.DoubleClick(1);
        }
    });
    pick.start(10);
    dialog.cmdBuscar.ClickWith();
    EXPECT_FALSE(frmSearch::Loaded());
    EXPECT_EQ(dialog.txtServer.Text(), "10.77.0.3");
    EXPECT_EQ(ServerIP, "10.77.0.3");
    EXPECT_EQ(Players(1).Name, "Carla Souza") << "\"Jogar\" ran for the picked host";
}

} // namespace
