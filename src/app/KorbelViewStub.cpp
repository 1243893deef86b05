// temporary until the view's own file lands
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"

CKorbelView::CKorbelView() = default;
CKorbelView::~CKorbelView() = default;

ModelData* CKorbelView::GetModelData() const
{
    const CKorbelDoc* doc = GetDocument();
    return doc ? doc->GetModelData() : nullptr;
}

void CKorbelView::ResetResultDisplayForRun()
{
    ClearPickedItems();
}
