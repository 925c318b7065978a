#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vs {

// The grid's files held compactly, so that a folder of 100,000 files costs little more than
// its names: the real names back to back in one UTF-8 pool and one 16-byte record per file.
// A caption is the lower-cased real name unless the item was given another (a rename keeps
// the name as typed); only such captions, and the size texts of made thumbnails, are stored
// apart. Built on the listing's worker thread, then moved into the model in one step.
struct GridContents {
    struct Row {
        std::uint32_t nameAt;      // the real name's first byte in names
        std::uint16_t nameLength;  // its length in bytes
        std::uint16_t unused;
        std::int32_t imageIndex;   // into the image list, or kImageNotMade / kImageFailed
        std::uint32_t id;          // stable while the item lives: keys its captions, sizes, work
    };
    std::string names;
    std::vector<Row> rows;

    // Appends an item for the real name utf8Name, its id its row.
    void Add(std::string_view utf8Name, int imageIndex);
};

// The model behind the grid. Roles: display/edit the caption, decoration the picture of the
// item's image index, and the grid's own roles for the real name, image index, size text and id.
class GridModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int kRealNameRole = Qt::UserRole;
    static constexpr int kImageIndexRole = Qt::UserRole + 1;
    static constexpr int kSizeTextRole = Qt::UserRole + 2;
    static constexpr int kItemIdRole = Qt::UserRole + 3;

    // images: the grid's image list, read for the decoration role.
    GridModel(const std::optional<std::vector<QPixmap>>* images, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    // Replaces every item.
    void Reset(GridContents contents);
    // A new item at row; returns row.
    int Insert(int row, const QString& realName, int imageIndex);

    int Count() const { return static_cast<int>(contents_.rows.size()); }
    QString RealName(int row) const;
    QString Caption(int row) const;
    int ImageIndex(int row) const { return contents_.rows[static_cast<std::size_t>(row)].imageIndex; }
    std::uint32_t Id(int row) const { return contents_.rows[static_cast<std::size_t>(row)].id; }
    QString SizeText(int row) const { return sizeTexts_.value(Id(row)); }

    void SetRealName(int row, const QString& realName);
    void SetCaption(int row, const QString& caption);
    void SetImageIndex(int row, int imageIndex);
    void SetSizeText(int row, const QString& text);
    // Every item showing image index has its picture painted again.
    void ImageChanged(int imageIndex);

private:
    void Changed(int row);
    GridContents::Row& At(int row) { return contents_.rows[static_cast<std::size_t>(row)]; }

    const std::optional<std::vector<QPixmap>>* images_;
    GridContents contents_;
    std::uint32_t nextId_ = 0;
    QHash<std::uint32_t, QString> captions_;   // captions other than the lower-cased real name
    QHash<std::uint32_t, QString> sizeTexts_;  // non-empty size texts
};

}  // namespace vs
