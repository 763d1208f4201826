#pragma once
// What the board looks like, as opposed to what stands on it: orientation,
// labels, the board texture and the piece set. The drawing reads it; the
// appearance menu and the start-up write it.

#include <QImage>
#include <QString>

#include <array>
#include <map>

// One piece set: twelve vector pictures, rendered once per screen density and
// kept, so a redraw never parses SVG.
class PieceSet {
public:
    // prefix is "Klas_", "Klub_" or "Umel_".
    explicit PieceSet(QString prefix);

    const QString& Prefix() const { return prefix_; }
    // The picture of a piece code (±1..±6) rendered for `dpr` device pixels
    // per pixel; a null image for any other code.
    const QImage& Picture(int code, qreal dpr) const;

private:
    QString prefix_;
    mutable std::map<qreal, std::array<QImage, 12>> rendered_;
};

// The three piece sets of the menu, in menu order.
enum class PieceSetId { Klasicke = 0, Klubovky = 1, Umelecke = 2 };
const PieceSet& PieceSetFor(PieceSetId id);

constexpr int TextureCount = 5;

// Texture n (1..5): 136 x 68 pixels, light square on the left, dark on the
// right; for dpr above 1 the finer picture, with its device pixel ratio set.
QImage LoadTexture(int n, qreal dpr = 1.0);
// The 16 x 16 menu picture of texture n.
QImage LoadTextureIcon(int n, qreal dpr = 1.0);

struct Presentation {
    bool WhiteAtBottom = true;
    bool ShowLabels = true;
    int BoardTexture = 0;              // 1..5; 0 while none is chosen
    QImage TextureImage;               // copy of the current texture
    const PieceSet* Pieces = nullptr;  // the current piece pictures; none drawn while null

    // The origin and target cells (file * 8 + rank) of the last move, tinted
    // while MarkLastMove is on; -1 when there is none.
    bool MarkLastMove = false;
    int LastMoveFrom = -1;
    int LastMoveTo = -1;

    // An arrow over the board from one cell to another (the engine's best
    // move), drawn over the pieces; -1 when there is none.
    int ArrowFrom = -1;
    int ArrowTo = -1;
};
