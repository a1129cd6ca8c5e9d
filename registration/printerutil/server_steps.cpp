#include "printerutil/server_steps.h"

#include "printerutil/client_await.h"
#include "qelhttp/printer_id_client.h"

namespace printerutil {

xmlutil::TokenServerResponse RequestTokenStep(const stServerParam& server,
                                              const stRegsterParam& printer,
                                              const CancelFlag* cancel) {
    qelhttp::TokenRequestData request;
    request.tenantId = server.serviceCode;
    request.serviceId = server.serviceId;
    request.macAddress = printer.macAddress;

    qelhttp::PrinterIDClient client;
    return RunClientTask(
        client,
        qelhttp::PrinterIDClient::RequestTokenAsyncBody{&client, server.tokenAddress, request},
        cancel);
}

std::shared_ptr<stPrinterIDs> RequestPrinterIdStep(const stServerParam& server,
                                                   const stRegsterParam& printer,
                                                   const CancelFlag* cancel) {
    qelhttp::PrinterIDRequestData request;
    request.serialNumber = printer.serialNumber;
    request.macAddress = printer.macAddress;
    request.modelName = printer.modelName;
    request.region = printer.region;

    qelhttp::PrinterIDClient client;
    jsonutil::PrinterIDServerResponse answer = RunClientTask(
        client,
        qelhttp::PrinterIDClient::RequestAsyncBody{&client, server.printerIdAddress, request},
        cancel);
    if (answer.tempPrinterId.empty()) {
        return nullptr;
    }
    return std::make_shared<stPrinterIDs>(
        stPrinterIDs{0, std::move(answer.printerId), std::move(answer.tempPrinterId)});
}

} // namespace printerutil
