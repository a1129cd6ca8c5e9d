#include "printerutil/server_steps.h"

#include <future>

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
    auto task = std::async(std::launch::async, qelhttp::PrinterIDClient::RequestTokenAsyncBody{
                                                   &client, server.tokenAddress, request});
    return AwaitClientTask(task, client, cancel);
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
    auto task = std::async(std::launch::async, qelhttp::PrinterIDClient::RequestAsyncBody{
                                                   &client, server.printerIdAddress, request});
    jsonutil::PrinterIDServerResponse answer = AwaitClientTask(task, client, cancel);
    if (answer.tempPrinterId.empty()) {
        return nullptr;
    }
    return std::make_shared<stPrinterIDs>(
        stPrinterIDs{0, std::move(answer.printerId), std::move(answer.tempPrinterId)});
}

} // namespace printerutil
