#pragma once

#include <QLoggingCategory>

// Diagnostic trace of the image container and the bitmap button: silent unless
// enabled with QT_LOGGING_RULES="mailvane.skin.images.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSkinImages)
