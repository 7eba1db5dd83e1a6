// The window "Ansicht": a finished reception as rows of 16 bytes with addresses, hex and code
// page 1252 characters, the header marked, a search for hex or text and "Kopieren" as hex.
#pragma once

#include <QDialog>

#include "text/hex_dump.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velotrix {

class ReceptionWindow : public QDialog {
  public:
    explicit ReceptionWindow(QWidget* owner);

    // Shows the bytes (replacing those shown before) and brings the window to the front.
    void Show(const HexDump& dump);

    QPlainTextEdit* Rows() const { return rows_; }
    QLineEdit* Query() const { return query_; }
    QCheckBox* HexSearch() const { return hex_; }
    QPushButton* SearchButton() const { return search_; }
    QPushButton* CopyButton() const { return copy_; }
    QLabel* Note() const { return note_; }
    // The bytes under the selection of the rows.
    ByteRange Selection() const;

  private:
    void Search();
    void Copy();
    void SelectBytes(const ByteRange& range);

    HexDump dump_;
    QPlainTextEdit* rows_;
    QLineEdit* query_;
    QCheckBox* hex_;
    QPushButton* search_;
    QPushButton* copy_;
    QLabel* note_;
};

}  // namespace velotrix
