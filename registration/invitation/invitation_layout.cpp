#include "invitation/invitation_layout.h"

#include <algorithm>

#include "resource.h"
#include "ui/dialog_layout.h"

namespace qelinvitation {

const RowControls kRowControls[2] = {
    {IDC_INVITATION_TITLE1, IDC_INVITATION_IMAGE1, IDC_INVITATION_BODY1},
    {IDC_INVITATION_TITLE2, IDC_INVITATION_IMAGE2, IDC_INVITATION_BODY2},
};

namespace {

// Lines a text of that width takes in a column: the width divided by the column, rounded up.
int Lines(LONG textWidth, int column) {
    return textWidth <= 0 ? 0 : static_cast<int>((textWidth + column - 1) / column);
}

Placement Hidden(int id) {
    Placement hidden{id};
    hidden.shown = false;
    return hidden;
}

// Space the button layout keeps between the banner and the first title, and between the text and
// the card's lower edge.
constexpr int kButtonLayoutGap = 12;
// The card of the button layout: its top and its height.
constexpr int kCardTop = 40;
constexpr int kCardHeight = 420;

class Builder {
public:
    Builder(const std::vector<ContentRow>& rows, int pixelsPerInch, const MeasureText& measure)
        : rows_(rows), dpi_(pixelsPerInch), measure_(measure) {}

    std::vector<Placement> Build(LayoutKind kind) {
        out_.push_back({IDC_INVITATION_BANNER, 0, 0, S(kClientWidth), S(40)});
        out_.push_back(
            kind == LayoutKind::kButton
                ? Placement{IDC_INVITATION_PICTURE, 0, S(kCardTop), S(kClientWidth), S(kCardHeight)}
                : Hidden(IDC_INVITATION_PICTURE));
        Placement imageButton = Hidden(IDC_INVITATION_IMAGE_BUTTON);
        switch (kind) {
        case LayoutKind::kButton:
            ButtonRows(imageButton);
            break;
        case LayoutKind::kTwoColumn:
            TwoColumnRows();
            break;
        case LayoutKind::kList:
            ListRows();
            break;
        }
        out_.push_back(imageButton);
        out_.push_back({IDC_SEPARATOR, 0, S(460), S(kClientWidth), 1});
        out_.push_back({IDC_INVITATION_SKIP, S(332), S(483), S(210), S(25)});
        out_.push_back({IDC_INVITATION_REGISTER, S(555), S(483), S(210), S(25)});
        return std::move(out_);
    }

private:
    // A length of the 96-pixels-per-inch design at this density.
    int S(int pixels) const { return qelui::ScaleToDensity(pixels, dpi_); }

    // The height of a text's place: as the layout gives it, or as tall as the text wrapped at the
    // place's width when it needs more (a translation longer than the text drawn for).
    int Fitted(TextFont font, const std::wstring& text, int width, int height) const {
        return text.empty() ? height
                            : std::max(height, static_cast<int>(measure_(font, text, width).cy));
    }

    // Calls place(row, controls) for each row with content and hides the rows without.
    template <typename Place> void EachRow(Place place) {
        for (std::size_t i = 0; i < std::size(kRowControls); ++i) {
            const RowControls& controls = kRowControls[i];
            if (i < rows_.size()) {
                place(rows_[i], controls);
            } else {
                out_.push_back(Hidden(controls.title));
                out_.push_back(Hidden(controls.image));
                out_.push_back(Hidden(controls.body));
            }
        }
    }

    void ButtonRows(Placement& imageButton) {
        int y = S(kCardTop + kButtonLayoutGap);
        // The text ends where the card's margin begins; it starts below the image button, which
        // sits under the picture, so the button never covers it and its white box stays on the
        // card.
        const int textBottom = S(kCardTop + kCardHeight - kButtonLayoutGap);
        const int cardEdge = S(kCardTop + kCardHeight);
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            const int titleHeight = Fitted(TextFont::kTitle, row.title, S(730), S(32));
            out_.push_back({controls.title, S(30), y, S(730), titleHeight});
            y += titleHeight;
            out_.push_back(row.hasImage ? Placement{controls.image, 0, y, S(kClientWidth), S(262)}
                                        : Hidden(controls.image));
            imageButton = {IDC_INVITATION_IMAGE_BUTTON, S(272), y + S(262), S(246), S(60)};
            const int textTop = imageButton.y + imageButton.height + S(kButtonLayoutGap);
            // A longer text takes the card's margin too, when it then fits whole on the card.
            const int room = std::max(0, textBottom - textTop);
            const int needed = Fitted(TextFont::kBody, row.body, S(730), room);
            const int height = textTop + needed <= cardEdge ? needed : room;
            out_.push_back({controls.body, S(30), textTop, S(730), height});
        });
    }

    void TwoColumnRows() {
        const int step = ::MulDiv(16, dpi_, 72) + 4;
        int y = S(84);
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            const int titleHeight = Fitted(TextFont::kTitle, row.title, S(370), S(22));
            out_.push_back({controls.title, S(382), y, S(370), titleHeight});
            y += step + titleHeight - S(22);
            out_.push_back(row.hasImage ? Placement{controls.image, S(38), S(84), S(324), S(334)}
                                        : Hidden(controls.image));
            const SIZE text = measure_(TextFont::kBody, row.body, 0);
            const int height =
                Fitted(TextFont::kBody, row.body, S(354),
                       std::max(0, Lines(text.cx, S(334)) * static_cast<int>(text.cy)));
            out_.push_back({controls.body, S(398), y, S(354), height});
            y += height + S(20);
        });
    }

    void ListRows() {
        const int line = ::MulDiv(12, dpi_, 72) + 4;
        int y = S(52);
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            const int titleHeight = Fitted(TextFont::kTitle, row.title, S(730), line);
            out_.push_back({controls.title, S(30), y, S(730), titleHeight});
            y += titleHeight + S(8);
            const int x = S(row.hasImage ? 130 : 30);
            const int width = S(row.hasImage ? 630 : 730);
            out_.push_back(row.hasImage ? Placement{controls.image, S(30), y, S(80), S(80)}
                                        : Hidden(controls.image));
            const SIZE text = measure_(TextFont::kBody, row.body, 0);
            const int height =
                Fitted(TextFont::kBody, row.body, width,
                       std::max(S(72), Lines(text.cx, width) * static_cast<int>(text.cy)));
            out_.push_back({controls.body, x, y, width, height});
            y += row.hasImage && height < S(80) ? S(92) : height + S(12);
        });
    }

    const std::vector<ContentRow>& rows_;
    int dpi_;
    const MeasureText& measure_;
    std::vector<Placement> out_;
};

} // namespace

SIZE InvitationClientSize(int pixelsPerInch) noexcept {
    return {qelui::ScaleToDensity(kClientWidth, pixelsPerInch),
            qelui::ScaleToDensity(kClientHeight, pixelsPerInch)};
}

std::vector<Placement> LayoutInvitation(LayoutKind kind, const std::vector<ContentRow>& rows,
                                        int pixelsPerInch, const MeasureText& measure) {
    return Builder(rows, pixelsPerInch, measure).Build(kind);
}

} // namespace qelinvitation
