#include "localisation/languages.h"

#include "localisation/encoded_text.h"
#include "localisation/language_blocks.h"
#include "localisation/tag.h"
#include "platform/game_files.h"
#include "platform/regular_file.h"
#include "platform/resource_module.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextEdit>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr int kProbeId = 1;
constexpr qsizetype kMaxTextLength = 9999;
constexpr qint64 kMaxTextFileBytes = 1024 * 1024;

[[noreturn]] void exit_after_message(const QString& text, const QString& caption,
                                     QMessageBox::Icon icon) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok);
        box.exec();
    } else {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    std::exit(EXIT_FAILURE);
}

template <typename Control, typename Setter>
bool apply_caption(const Languages& languages, Control* control, Setter set_text) {
    if (!languages.loaded) {
        return false;
    }
    set_text(control, languages.get_string(tag_of(control)));
    return true;
}

// What a screen reader says a button or check box does, by the tag of its caption.
int description_of(int tag) {
    static const std::map<int, int> kDescriptions{
        {42, 178},  {43, 179},  {29, 180},  {36, 180},  {83, 180},  {214, 180}, {28, 181},
        {35, 181},  {37, 182},  {118, 183}, {119, 184}, {120, 185}, {305, 186},
    };
    const auto found = kDescriptions.find(tag);
    return found == kDescriptions.end() ? 0 : found->second;
}

template <typename Control>
void describe_by_tag(const Languages& languages, Control* control) {
    if (const int id = description_of(tag_of(control))) control->setAccessibleDescription(languages.get_string(id));
}

// A decoded line holds the bytes of the block's code page, one character each.
QString from_code_page(const QString& bytes, const char* code_page) {
    QStringDecoder decoder(code_page);
    return decoder.isValid() ? decoder.decode(bytes.toLatin1()) : bytes;
}

template <typename Memo>
void fill_memo(Memo* memo, const QStringList& encoded_lines, const char* code_page) {
    QStringList lines;
    try {
        for (const QString& line : encoded_lines) {
            lines << from_code_page(decode_line(line), code_page);
        }
    } catch (const std::runtime_error&) {
        memo->setPlainText(lines.join(u'\n'));
        throw;
    }
    memo->setPlainText(lines.join(u'\n'));
}

}  // namespace

Languages::Languages(const QString& file_name) : Languages(file_name, QLocale::system().uiLanguages()) {}

Languages::Languages(const QString& file_name, const QStringList& ui_languages) {
    module = ResourceModule::open(file_name);
    choose(ui_languages);
    if (!loaded) {
        exit_after_message(
            QStringLiteral("The language library could not be loaded. Please re-install Quorvel"),
            QStringLiteral("Fatal Error"), QMessageBox::NoIcon);
    }
}

Languages::~Languages() = default;

void Languages::select_base() {
    const LanguageBlock* block = block_for_language(language);
    base_id = block ? block->base_id : 0;
}

void Languages::choose(const QStringList& ui_languages) {
    const QStringList names = interface_language_names(ui_languages);
    for (const QString& name : names) {
        const LanguageBlock* wanted = block_for_language(name);
        if (wanted && holds(*wanted)) {
            language = name;
            select_base();
            loaded = true;
            return;
        }
    }
    language = names.value(0, QString::fromLatin1(english_block().name));
    base_id = 0;
    loaded = holds(english_block());
}

const LanguageBlock& Languages::block() const { return block_by_base(base_id); }

// A block counts as present when its probe string is there and not empty.
bool Languages::holds(const LanguageBlock& block) const {
    return module && !module->string(block.base_id + kProbeId).value_or(QString()).isEmpty();
}

QString Languages::get_string(int id) const {
    if (!module) {
        return {};
    }
    return module->string(id + base_id).value_or(QString()).left(kMaxTextLength);
}

QString Languages::get_language() const {
    return language;
}

bool Languages::set_caption(QPushButton* button) const {
    describe_by_tag(*this, button);
    return apply_caption(*this, button, [](QPushButton* b, const QString& t) { b->setText(t); });
}

bool Languages::set_caption(QLabel* label) const {
    return apply_caption(*this, label, [](QLabel* l, const QString& t) { l->setText(t); });
}

bool Languages::set_caption(QAction* menu_item) const {
    return apply_caption(*this, menu_item, [](QAction* a, const QString& t) { a->setText(t); });
}

bool Languages::set_caption(QMenu* submenu) const {
    return apply_caption(*this, submenu, [](QMenu* m, const QString& t) { m->setTitle(t); });
}

bool Languages::set_caption(QWidget* window) const {
    return apply_caption(*this, window,
                         [](QWidget* w, const QString& t) { w->setWindowTitle(t); });
}

bool Languages::set_caption(QCheckBox* check_box) const {
    describe_by_tag(*this, check_box);
    return apply_caption(*this, check_box, [](QCheckBox* c, const QString& t) { c->setText(t); });
}

bool Languages::set_caption(QGroupBox* group_box) const {
    return apply_caption(*this, group_box, [](QGroupBox* g, const QString& t) { g->setTitle(t); });
}

void Languages::load_text(QPlainTextEdit* memo) const {
    fill_memo(memo, read_text_file(memo), block().code_page);
}

void Languages::load_text(QTextEdit* memo) const {
    fill_memo(memo, read_text_file(memo), block().code_page);
}

QStringList Languages::read_text_file(const QObject* memo) const {
    const QString path =
        QStringLiteral("images/%1.jpg").arg(tag_of(memo) + base_id);
    const FileRead file = read_regular_file(game_file(path), kMaxTextFileBytes);
    if (file.outcome == FileRead::TooLarge) {
        throw std::runtime_error("encoded text: " + path.toStdString() + " is larger than " +
                                 std::to_string(kMaxTextFileBytes) + " bytes");
    }
    if (file.outcome != FileRead::Read) {
        exit_after_message(
            QStringLiteral("Some files are missing! Please re-install this application."),
            QStringLiteral("Fatal error"), QMessageBox::Warning);
    }
    QStringList lines = QString::fromLatin1(file.bytes).split(u'\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();  // the break that ends the last line
    }
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return lines;
}
