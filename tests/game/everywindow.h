#pragma once
// The program's twelve windows, for the tests that look at each of them.
#include "game/frmBaralho.h"
#include "game/frmMSG.h"
#include "game/frmManilhas.h"
#include "game/frmVenceu.h"
#include "game/frmVorla.h"
#include "game/frmVorlada.h"
#include "netplay/frmBatePapo.h"
#include "netplay/frmIniciar.h"
#include "netplay/frmListen.h"
#include "netplay/frmSearch.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"

#include <vector>

namespace gametest {

// Every window loaded, the table first.
inline std::vector<vb::Form*> EveryWindow()
{
    return {&frmVorla::Get(),   &frmBaralho::Get(), &frmManilhas::Get(), &frmVorlada::Get(),
            &frmVenceu::Get(),  &frmMSG::Get(),     &frmOption::Get(),   &frmSobre::Get(),
            &frmIniciar::Get(), &frmListen::Get(),  &frmSearch::Get(),   &frmBatePapo::Get()};
}

// Unloads every window of `windows` but the table.
inline void UnloadDialogs(const std::vector<vb::Form*>& windows)
{
    for (vb::Form* form : windows)
        if (form != &frmVorla::Get())
            form->Unload();
}

} // namespace gametest
