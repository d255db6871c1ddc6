#pragma once

#include "settings/settings_layout.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <utility>

class QCheckBox;
class QPushButton;

namespace kv7m {

struct EditorContext;

// CommonConstantsBlock: ten big-endian words; word 0 carries the options in its high byte, so
// byte 0 holds the option bits and the other nineteen bytes are 0.
using CommonConstantsBlock = std::array<std::uint8_t, layout::kCommonSize>;

// Option bits of byte 0 of the block.
namespace common_option {
inline constexpr std::uint8_t ActiveMode = 0x01;           // unit sends command 52 unasked
inline constexpr std::uint8_t ObehOutput = 0x02;           // information for the ОВЕН СМИ-1
inline constexpr std::uint8_t Calendar = 0x04;             // built-in calendar
inline constexpr std::uint8_t CorrectionTable = 0x08;      // moisture correction table
inline constexpr std::uint8_t DensityWithMoisture = 0x10;  // density computed with moisture
inline constexpr std::uint8_t Z3aoOutput = 0x20;           // output to the Z-3AO converter
inline constexpr std::uint8_t All = 0x3F;
}  // namespace common_option

// The block for the given option bits; bits outside common_option::All are dropped.
CommonConstantsBlock encodeCommonConstants(std::uint8_t options);
// The option bits of a block (a slot, or the data of reply 66); other bits are ignored.
std::uint8_t decodeCommonConstants(const std::uint8_t* block);
// The block as it sits in its settings-file slot: the block, then 0xFF up to the slot size.
std::array<std::uint8_t, layout::kSlotSize> commonConstantsSlot(const CommonConstantsBlock& block);

// Common constants window "Константы блока обработки": the unit-wide options, written with
// command 65, read with 66 and checked by signature with 67, mirrored in the settings file.
class TConstBOForm : public QDialog {
    Q_OBJECT
public:
    // Registers the handlers of replies 65, 66 and 67 on the context's dispatcher; they refer to
    // this window, so the dispatcher must not handle frames once the window is gone.
    TConstBOForm(EditorContext& context, QWidget* parent = nullptr);
    ~TConstBOForm() override;

    // Sets the check boxes from the unit's settings-file slot; false (boxes untouched) when the
    // slot could not be read.
    bool LoadCommonConstants(int unitAddress);
    // Stores the block of the check boxes in the unit's settings-file slot.
    bool StoreCommonConstants(int unitAddress);

    // The menu's part after its unit-information request: reload from the file of the current
    // unit and show. Nothing is shown when the address is not a number (already reported).
    void openForCurrentUnit();

    // Option bits of the check boxes, and the reverse.
    std::uint8_t optionBits() const;
    void showOptionBits(std::uint8_t options);

    QCheckBox* ActiveReg;
    QCheckBox* ChkUseOBEH;
    QCheckBox* ChkUseZ3AO;
    QCheckBox* ChkUseCalendar;
    QCheckBox* ChkUseAdditionalGradTable;
    QCheckBox* ChkPlotnostWithVlag;
    QPushButton* btnWriteCommonSettings;
    QPushButton* btnReadCommonSettings;
    QPushButton* btnCheckSignaturesCommonSettings;
    QPushButton* btnCloseWindow;

public slots:
    // "Записать": ask, store in the file, then send command 65.
    void writeToUnit();
    // "Прочитать": ask, then send command 66.
    void readFromUnit();
    // "Сигнатура": remember the signature of the shown block, then send command 67.
    void checkSignature();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onWriteReply();
    void onReadReply();
    void onSignatureReply();

    // Each check box with its bit, in the order they are shown.
    std::array<std::pair<QCheckBox*, std::uint8_t>, 6> optionBoxes() const;

    EditorContext& m_context;
};

}  // namespace kv7m
