#pragma once
// The host's waiting window ("Jogos Online"): shown modally over the table
// while the game port listens for a guest. It lists the host's addresses,
// sweeps a bead animation, and answers searching guests on port 1244 with the
// player's name. The guest's arrival or "Cancelar" closes it.
#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/listbox.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/shape.h"
#include "platform/forms/timer.h"
#include "widgets/DL.h"

#include <memory>

class CNetSocket;

class frmListen : public vb::FormBase<frmListen> {
public:
    frmListen();

    // Controls, in their design state.
    vb::CommandButton cmdCancelar;
    vb::ListBox List1;
    vb::Label Label1;
    vb::Shape Shape1;
    vb::PictureBox ProgressBar;
    vb::Image ImgGo;
    vb::Image imgLeft;
    vb::Image imgRight;
    vb::Label Label4;
    vb::Timer AnimationTimer;
    // Ends a search connection the searcher keeps open after it has the name.
    vb::Timer tmrSearcher;
    DL DL1;

    // The locator socket on the search port.
    std::shared_ptr<CNetSocket> Localizador;

    // Handlers.
    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;
    void AnimationTimer_Timer();
    void Localizador_ConnectionRequest(std::int32_t requestID);
    void Localizador_CloseSck();
    void Localizador_DataArrival();
    void Localizador_Error();
    void tmrSearcher_Timer();
    void cmdCancelar_Click();

private:
    void placeControls();
    void listenForSearches();
    // Ends the search connection, however it stands, and listens for the next.
    void listenAgain();
    // The second line of the list: the second local address, or else the
    // external address that the address-echo page shows.
    QString secondAddress();

    bool activated_ = false;
    bool relistening_ = false;
};
