#include "ui/prefs/AppPickerDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QVBoxLayout>

#include "core/text/Text.h"
#include "ui/prefs/AppIconManager.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;
constexpr int kSearchRole = Qt::UserRole + 3;  // name and id: what the search matches
}  // namespace

AppPickerDialog::AppPickerDialog(PickerPurpose purpose, const AppConfig& config,
                                 const std::vector<InstalledApp>& apps, QWidget* parent)
    : QDialog(parent),
      search_(new QLineEdit),
      list_(new QListView),
      windowClass_(new QLineEdit),
      confirm_(nullptr) {
    const bool exclude = purpose == PickerPurpose::exclude;
    setWindowTitle(exclude ? qs("Seleziona Applicazioni da Escludere")
                           : qs("Seleziona Applicazione di Lavoro"));
    resize(520, 560);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(
        exclude ? qs("Seleziona una o più applicazioni in cui Quorix non effettuerà alcuna "
                     "modifica.")
                : qs("Seleziona un'applicazione in cui attivare la modalità Executive e lo "
                     "dirav aroveridide."),
        12, QFont::Normal, primaryText(), true));

    search_->setObjectName("pickerSearch");
    search_->setPlaceholderText(tr2(config, "Cerca applicazioni...", "Search applications..."));
    search_->setClearButtonEnabled(true);
    layout->addWidget(search_);

    for (const auto& app : apps) {
        QIcon icon = AppIconManager::themeIcon(app.icon);
        auto* item =
            new QStandardItem(icon.isNull() ? AppIconManager::genericIcon() : icon, qs(app.name));
        item->setData(qs(app.id), kIdRole);
        item->setData(qs(app.path), kPathRole);
        item->setData(qs(app.name) + QChar('\n') + qs(app.id), kSearchRole);
        item->setToolTip(qs(app.id));
        item->setEditable(false);
        model_.appendRow(item);
    }
    filter_.setSourceModel(&model_);
    filter_.setFilterCaseSensitivity(Qt::CaseInsensitive);
    filter_.setFilterRole(kSearchRole);
    list_->setModel(&filter_);
    list_->setObjectName("pickerList");
    list_->setIconSize(QSize(24, 24));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(list_, 1);

    auto* classRow = new QHBoxLayout;
    classRow->addWidget(makeLabel(tr2(config, "Senza voce nel menu? Classe della finestra:",
                                      "Not in the menu? Window class:"),
                                  11.5, QFont::Normal, secondaryText()));
    windowClass_->setObjectName("pickerWindowClass");
    windowClass_->setPlaceholderText(QStringLiteral("es. zenity"));
    classRow->addWidget(windowClass_, 1);
    layout->addLayout(classRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    confirm_ =
        buttons->addButton(exclude ? qs("Escludi") : qs("Aggiungi"), QDialogButtonBox::AcceptRole);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr2(config, "Annulla", "Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& t) { setFilter(t); });
    connect(windowClass_, &QLineEdit::textChanged, this, [this] { updateConfirm(); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateConfirm(); });
    connect(list_, &QListView::doubleClicked, this, &QDialog::accept);
    updateConfirm();
}

void AppPickerDialog::setFilter(const QString& text) {
    if (search_->text() != text) {
        search_->setText(text);  // comes back here through textChanged
        return;
    }
    filter_.setFilterFixedString(text.trimmed());
}

int AppPickerDialog::visibleCount() const {
    return filter_.rowCount();
}

std::string AppPickerDialog::visibleId(int row) const {
    return filter_.index(row, 0).data(kIdRole).toString().toStdString();
}

void AppPickerDialog::selectVisible(int row) {
    list_->selectionModel()->select(filter_.index(row, 0), QItemSelectionModel::Select);
}

std::vector<PickedApp> AppPickerDialog::chosen() const {
    std::vector<PickedApp> out;
    QModelIndexList rows = list_->selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows) {
        out.push_back({index.data(kPathRole).toString().toStdString(), {}});
    }
    const std::string windowClass = text::trim(windowClass_->text().toStdString());
    if (!windowClass.empty()) {
        out.push_back({{}, windowClass});
    }
    return out;
}

void AppPickerDialog::updateConfirm() {
    confirm_->setEnabled(list_->selectionModel()->hasSelection() ||
                         !windowClass_->text().trimmed().isEmpty());
}

std::vector<PickedApp> AppPickerDialog::run(PickerPurpose purpose, const AppConfig& config,
                                            const std::vector<InstalledApp>& apps,
                                            QWidget* parent) {
    AppPickerDialog dialog(purpose, config, apps, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : std::vector<PickedApp>{};
}

}  // namespace quorix::ui::prefs
