#include "invitation/invitation_layout.h"

#include <algorithm>

#include "resource.h"

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

class Builder {
public:
    Builder(const std::vector<ContentRow>& rows, int pixelsPerInch, const MeasureText& measure)
        : rows_(rows), dpi_(pixelsPerInch), measure_(measure) {}

    std::vector<Placement> Build(LayoutKind kind) {
        out_.push_back({IDC_INVITATION_BANNER, 0, 0, kClientWidth, 40});
        out_.push_back(kind == LayoutKind::kButton
                           ? Placement{IDC_INVITATION_PICTURE, 0, 40, kClientWidth, 420}
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
        out_.push_back({IDC_SEPARATOR, 0, 460, kClientWidth, 1});
        out_.push_back({IDC_INVITATION_SKIP, 332, 483, 210, 25});
        out_.push_back({IDC_INVITATION_REGISTER, 555, 483, 210, 25});
        return std::move(out_);
    }

private:
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
        int y = 52;
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            out_.push_back({controls.title, 30, y, 730, 32});
            y += 32;
            out_.push_back(row.hasImage ? Placement{controls.image, 0, y, kClientWidth, 262}
                                        : Hidden(controls.image));
            out_.push_back({controls.body, 30, 400, 730, 48});
            imageButton = {IDC_INVITATION_IMAGE_BUTTON, 272, y + 262, 246, 60};
        });
    }

    void TwoColumnRows() {
        const int step = ::MulDiv(16, dpi_, 72) + 4;
        int y = 84;
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            out_.push_back({controls.title, 382, y, 370, 22});
            y += step;
            out_.push_back(row.hasImage ? Placement{controls.image, 38, 84, 324, 334}
                                        : Hidden(controls.image));
            const SIZE text = measure_(row.body);
            const int height = std::max(0, Lines(text.cx, 334) * static_cast<int>(text.cy));
            out_.push_back({controls.body, 398, y, 354, height});
            y += height + 20;
        });
    }

    void ListRows() {
        const int line = ::MulDiv(12, dpi_, 72) + 4;
        int y = 52;
        EachRow([&](const ContentRow& row, const RowControls& controls) {
            out_.push_back({controls.title, 30, y, 730, line});
            y += line + 8;
            const int x = row.hasImage ? 130 : 30;
            const int width = row.hasImage ? 630 : 730;
            out_.push_back(row.hasImage ? Placement{controls.image, 30, y, 80, 80}
                                        : Hidden(controls.image));
            const SIZE text = measure_(row.body);
            const int height = std::max(72, Lines(text.cx, width) * static_cast<int>(text.cy));
            out_.push_back({controls.body, x, y, width, height});
            y += row.hasImage && height < 80 ? 92 : height + 12;
        });
    }

    const std::vector<ContentRow>& rows_;
    int dpi_;
    const MeasureText& measure_;
    std::vector<Placement> out_;
};

} // namespace

std::vector<Placement> LayoutInvitation(LayoutKind kind, const std::vector<ContentRow>& rows,
                                        int pixelsPerInch, const MeasureText& measure) {
    return Builder(rows, pixelsPerInch, measure).Build(kind);
}

} // namespace qelinvitation
