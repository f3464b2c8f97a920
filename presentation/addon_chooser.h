#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class AddressOpener;
class GraphicStyle;
class Languages;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// "Choose your favorite graphic style!": the add-on styles of the game folder in a list, with
// the stone "blue0005" of the one selected, by mouse or by keys, as a preview. Ends with kLoad or
// kCancel.
class Tload_libraries : public QDialog {
public:
    static constexpr int kLoad = 1;
    static constexpr int kCancel = 2;

    // `color_depth` tells the screen's bits per pixel when the list is filled.
    Tload_libraries(QWidget* main_window, const Languages& languages, std::function<int()> color_depth,
                    const AddressOpener& address_opener);
    ~Tload_libraries() override;

    void fill_list();
    int selected_index() const;
    // The file of the selected entry; empty when none is selected.
    QString chosen_file() const;
    void show_preview(const QString& entry);

    QListWidget* ListBox1;
    QLabel* Image1;
    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Button1Click();

    const Languages& languages_;
    std::function<int()> color_depth_;
    const AddressOpener& address_opener_;
    std::unique_ptr<GraphicStyle> preview_module_;
};
