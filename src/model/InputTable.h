#pragma once
// Common header of the model's input tables: the back pointer to the owning
// model in front of the row chain.

#include "model/RowChain.h"

class ModelData;

template <class Row>
class InputTable : public RowChain<Row> {
public:
    ModelData* GetModel() const { return model_; }
    void SetModel(ModelData* model) { model_ = model; }

    // Deletes every row and forgets the model (the table is then empty).
    void Clear() {
        this->DeleteRows();
        model_ = nullptr;
    }

protected:
    ModelData* model_ = nullptr;
};
