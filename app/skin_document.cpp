#include "app/skin_document.h"

SkinDocument::SkinDocument() { AddObserver(this); }

SkinDocument::~SkinDocument() { RemoveObserver(this); }
