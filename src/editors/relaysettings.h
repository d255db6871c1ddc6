#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>

class QPushButton;
class QTableWidget;

namespace kv7m {

struct EditorContext;
class RelayChoiceDelegate;

// The relay block: one byte per relay. Bits 0-3 channel 1..8 (event kinds 1..3 only), bits 4-6
// event kind, bit 7 the active state ("Лог 1" when set).
inline constexpr int kRelayCount = 8;
inline constexpr int kRelayEventCount = 29;
inline constexpr std::uint8_t kRelayActiveBit = 0x80;

// The event texts of the "Назанчение" list, index 0 "Не используется." first. Built anew on every
// call; each window keeps its own copy.
QStringList relayEventTexts();
// Bits 0..6 of the event with list index 0..28.
std::uint8_t relayEventCode(int index);

struct RelayByteMeaning {
    int eventIndex;  // into relayEventTexts()
    bool activeHigh;
};
// A byte of kind 1..3 without a channel 1..8 has no event of its own and reads as "Не используется.".
RelayByteMeaning decodeRelayByte(std::uint8_t byte);
// The byte of one grid row. An event text outside `eventTexts` gives "Не используется." (0x00); an
// active-state text other than "Лог 1" leaves bit 7 clear.
std::uint8_t encodeRelayRow(const QStringList& eventTexts, const QString& eventText, const QString& activeText);

namespace relay_text {
inline const QString ActiveLow = QStringLiteral("Лог 0");
inline const QString ActiveHigh = QStringLiteral("Лог 1");
inline const QString WriteQuestion = QStringLiteral("Записать настройки РЕЛЕ в БО?");
inline const QString ReadQuestion = QStringLiteral("Прочитать настройки РЕЛЕ из БО?");
inline const QString Written = QStringLiteral("Настройки выходов РЕЛЕ записаны в БО");
inline const QString Read = QStringLiteral("Настройки выходов РЕЛЕ прочитаны из БО");
inline const QString SaveQuestion = QStringLiteral("Сохранить настройки в файле?");
}  // namespace relay_text

// Relay outputs window "Настройка РЕЛЕ": one grid row per relay with its event and active state,
// written to the unit (68), read from it (69), checked by signature (70) and mirrored in the
// unit's settings file.
class TRelaySettingsForm : public QDialog {
    Q_OBJECT
public:
    // Grid rows 1..8 are the relays; row 0 and columns 0..1 are fixed.
    static constexpr int kEventColumn = 2;
    static constexpr int kActiveColumn = 3;

    // Registers the handlers of replies 68, 69 and 70.
    TRelaySettingsForm(EditorContext& context, QWidget* parent = nullptr);
    ~TRelaySettingsForm() override;

    // Reads the block of the unit's settings file into the grid; a failed read leaves the grid.
    bool LoadRelayBlockFromFile(int unitAddress);
    // Stores the grid's block in the unit's settings file, padded with 0xFF to its slot.
    bool SaveRelayBlockToFile(int unitAddress);
    // Fills columns 2 and 3 of rows 1..8 from 8 relay bytes.
    void DecodeRelayBlock(const std::uint8_t* bytes);
    // Writes the 8 relay bytes of the grid to `out`; returns 8.
    int EncodeRelayBlock(std::uint8_t* out);

    // Menu "Натройка выходов РЕЛЕ": the current unit's block from its file, then the window.
    void openForCurrentUnit();

    QTableWidget* RelaySettingsGrid;
    QPushButton* btnWriteRelaySettings;
    QPushButton* btnReadRelaySettings;
    QPushButton* btnReadSignaturesRelaySettings;
    QPushButton* btnCancel;

public slots:
    void btnWriteRelaySettingsClick();
    void btnReadRelaySettingsClick();
    void btnReadSignaturesRelaySettingsClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    // A click on the window's background ends an edit of the grid.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildGrid();
    // Commits and closes the list editor, then parks the grid on the fixed cell (0, 0).
    void endGridEdit();
    void clearRelayCells();

    void writeReplied();
    void readReplied();
    void signatureReplied();

    EditorContext& m_context;
    const QStringList m_eventTexts;
    RelayChoiceDelegate* m_delegate;
};

}  // namespace kv7m
