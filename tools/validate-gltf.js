// Validates glTF/glb files with the Khronos glTF validator; prints one summary line per file and the
// errors, and exits 1 when any file has an error. Usage: node tools/validate-gltf.js FILE...
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: file,
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)), (err, data) =>
                    err ? reject(err.toString()) : resolve(new Uint8Array(data)));
            }),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const message of issues.messages)
        if (message.severity === 0) console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
    return issues.numErrors;
}

(async () => {
    let errors = 0;
    for (const file of process.argv.slice(2)) errors += await validate(file);
    process.exit(errors > 0 ? 1 : 0);
})().catch((e) => {
    console.log(`validator failed: ${e}`);
    process.exit(2);
});
