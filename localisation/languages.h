#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QObject;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QWidget;
class ResourceModule;

struct LanguageBlock;

// The language library "languages.dll": every text the program shows, one block of strings per
// language (text n of a block is string n + its base_id, see language_blocks.h), chosen by the
// interface language. A control's text id is its Tag (localisation/tag.h).
class Languages {
public:
    // Opens the library and chooses the block for the desktop's interface languages. Ends the
    // process after a message box when not even the English block is there.
    explicit Languages(const QString& file_name);
    // The same for the given interface languages ("de-AT", "pt_PT", ...), in order of preference.
    Languages(const QString& file_name, const QStringList& ui_languages);
    ~Languages();

    Languages(const Languages&) = delete;
    Languages& operator=(const Languages&) = delete;

    // When loaded: the caption becomes the text of the control's Tag (empty when the library
    // lacks it) and the result is true. Otherwise false and the caption stays. A button or check
    // box also gets the description a screen reader gives of what it does.
    bool set_caption(QPushButton* button) const;
    bool set_caption(QLabel* label) const;
    bool set_caption(QAction* menu_item) const;
    bool set_caption(QMenu* submenu) const;      // its title, from the menu's own Tag
    bool set_caption(QWidget* window) const;     // the window title
    bool set_caption(QCheckBox* check_box) const;
    bool set_caption(QGroupBox* group_box) const;

    // The text of `id`; empty when the library lacks it.
    QString get_string(int id) const;
    QString get_language() const;
    void select_base();
    // The block of the first of `ui_languages` the library holds, English when it holds none.
    void choose(const QStringList& ui_languages);
    const LanguageBlock& block() const;
    bool holds(const LanguageBlock& block) const;

    // Replaces the memo's lines by the decoded lines of "images/" + (Tag + base_id) + ".jpg".
    // A missing file ends the process after a message box; a malformed line throws
    // std::runtime_error, and the memo keeps the lines decoded before it.
    void load_text(QPlainTextEdit* memo) const;
    void load_text(QTextEdit* memo) const;

    bool loaded = false;
    int base_id = 0;
    std::unique_ptr<ResourceModule> module;
    QString language;

private:
    QStringList read_text_file(const QObject* memo) const;
};
