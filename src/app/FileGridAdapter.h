#pragma once

#include "library/FileCommands.h"

class QWidget;

namespace vs {

class TComInfoForm;
class TImagesListView;

// The thumbnail grid as the file commands see it.
class GridFiles : public FileGrid {
public:
    explicit GridFiles(TImagesListView& grid);
    std::string Folder() const override;
    int Count() const override;
    std::string Caption(int index) const override;
    std::string RealName(int index) const override;
    bool Selected(int index) const override;
    void Remove(int index) override;
    void Add(const std::string& realName) override;
    void Refresh() override;
    void SelectLast() override;

private:
    TImagesListView& grid_;
};

// The progress window (when the program made one) and the hourglass cursor.
class ComInfoProgress : public BulkProgress {
public:
    explicit ComInfoProgress(QWidget* window);
    void Begin(int items) override;
    void Step() override;
    void End() override;

private:
    TComInfoForm* window_;
};

}  // namespace vs
