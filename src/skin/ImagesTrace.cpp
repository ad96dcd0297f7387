#include "ImagesTrace.h"

Q_LOGGING_CATEGORY(lcSkinImages, "mailvane.skin.images", QtWarningMsg)
