#include "main/raise_later.h"

#include <QMetaObject>

void RaiseLater(QObject* context, std::exception_ptr error) {
  QMetaObject::invokeMethod(
      context, [error = std::move(error)] { std::rethrow_exception(error); }, Qt::QueuedConnection);
}
