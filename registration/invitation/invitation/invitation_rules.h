// What the invitation screen shows for a printer: the texts of its two buttons, whether the
// large image button registers too, and which of its three layouts it takes. Pure rules of the
// printer's region code, the service kind chosen for it, the user's area and the printer's
// agreement state.
#pragma once

#include <string>

namespace qelinvitation {

struct ButtonTexts {
    int skip;         // text number of Skip (1023)
    int registration; // text number of Register (1021)
    bool imageButton; // the image button (1043) shows and registers
};

// region "1":       serviceA                                            10009 / 10008, image button
// region "3":       serviceX                                            10012 / 10011
// region "4", "C":  area empty or European, and serviceA or an
//                   agreement state reported by the printer            10012 / 10011
// anything else:                                                        10007 / 10006
ButtonTexts ChooseButtonTexts(const std::wstring& regionCode, const std::wstring& serviceKind,
                              const std::wstring& area, unsigned char agreementState);

enum class LayoutKind {
    kButton,    // one wide illustration over a card, registered with the image button
    kTwoColumn, // the illustration left, the paragraphs right
    kList,      // a small picture before each paragraph
};

// The button layout for serviceA printers of region "1"; two columns for region "4" or "C" with
// serviceA, or with another kind than "auto" and a reported agreement state (the area is not
// looked at here), and for region "3" with serviceX; the list otherwise.
LayoutKind ChooseLayout(const std::wstring& regionCode, const std::wstring& serviceKind,
                        unsigned char agreementState);

// The caption: 10013 while the printer has no service ("auto"), else 10001.
int CaptionText(const std::wstring& serviceKind);

} // namespace qelinvitation
