// Where the table window's controls that stand on painted parts of its
// background are placed, in twips: the window places the controls here and the
// background paints their faces and boxes here.
#pragma once

#include <array>

namespace tablelayout {

struct TwipRect {
    int Left, Top, Width, Height;
    constexpr int Right() const { return Left + Width; }
    constexpr int Bottom() const { return Top + Height; }
};

// The menu, on green faces: "Novo Jogo" to "Sair".
inline constexpr std::array<TwipRect, 6> lblMenu{{{10035, 480, 1740, 270},
                                                  {10035, 945, 1740, 270},
                                                  {10035, 1395, 1740, 270},
                                                  {10035, 1830, 1740, 270},
                                                  {10035, 2265, 1740, 270},
                                                  {10035, 2700, 1740, 270}}};

// The stake box: the stake at its top, the raise and run faces below.
inline constexpr TwipRect lblValendo{8040, 5955, 885, 195};
inline constexpr TwipRect lblVorla{7755, 6285, 1485, 210};
inline constexpr TwipRect lblCorrer{7740, 6735, 1485, 210};

// The window buttons on the title strip.
inline constexpr TwipRect imgMini{11100, 90, 270, 210};
inline constexpr TwipRect imgClose{11505, 90, 270, 210};

// The score box: under its title the hand's names (lblNome 1 and 2) and scores,
// a rule, then under "Placar Geral:" the match's names (lblNome 0 and 3) and
// scores. Arrays are indexed from the control array's lower bound.
inline constexpr TwipRect lblPartidas{10095, 3555, 555, 195};
inline constexpr TwipRect Label2{10095, 3915, 915, 195};
inline constexpr TwipRect Label3{10095, 4815, 1125, 195};
inline constexpr std::array<TwipRect, 4> lblNome{{{10095, 5010, 1485, 240},
                                                  {10095, 4125, 1470, 240},
                                                  {10095, 4380, 1470, 240},
                                                  {10095, 5265, 1485, 240}}};
inline constexpr std::array<TwipRect, 2> lblRodada{{{11565, 4125, 150, 240}, {11565, 4380, 150, 240}}};
inline constexpr std::array<TwipRect, 2> lblTotal{{{11565, 5010, 150, 240}, {11565, 5265, 150, 240}}};

}  // namespace tablelayout
