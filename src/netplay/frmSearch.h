#pragma once
// "Localizar Jogadores": finds waiting hosts on the local subnet. It probes,
// one after another and in ascending order, the addresses 1 to 254 that share
// the first three numbers of the machine's own address, on the port where a
// waiting host answers with its player's name, giving each probe 75 ms. Every
// host that answers becomes a row; the one the player picks goes back in
// ServerIP. Shown modally by the new-game dialog, loaded fresh for every search.
#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/listview.h"
#include "platform/forms/timer.h"
#include "widgets/GlossProgress.h"

#include <cstdint>
#include <memory>

class CNetSocket;

class frmSearch : public vb::FormBase<frmSearch> {
public:
    frmSearch();

    // The last address of the scan; tests shorten the scan with it.
    static inline std::uint8_t LastOctet = 254;

    vb::Label lblInfo;
    vb::ListView lsvSearch;
    ::GlossProgress GlossProgress;
    vb::Label lblSearch;
    vb::CommandButton cmdSelecionar;
    vb::CommandButton cmdClose;
    // The probe's time-out.
    vb::Timer tmrSearch;
    // The image list's one picture, "a": a person's head and shoulders.
    vb::Picture imlSmall;

    std::shared_ptr<CNetSocket> Client;
    // The own address up to and including its last ".".
    QString Prefix;
    // The last number of the address probed: 0 before the scan, past LastOctet
    // (255 in a whole scan) after it.
    std::uint8_t Octet = 0;

    // Handlers.
    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;
    void tmrSearch_Timer();
    void Client_DataArrival(std::int32_t bytesTotal);
    void cmdSelecionar_Click();
    void lsvSearch_DblClick();
    void cmdClose_Click();

private:
    void placeControls();
    void SearchNextHost();
    void EndSearch();
};
