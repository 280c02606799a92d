// Checks SARIF logs against the SARIF 2.1.0 JSON schema, every format
// checked: node check_sarif.mjs SCHEMA LOG... ; exit 1 naming each problem.
import { readFileSync } from "node:fs";
import Ajv from "ajv-draft-04";
import addFormats from "ajv-formats";

const [schemaPath, ...logs] = process.argv.slice(2);
const schema = JSON.parse(readFileSync(schemaPath, "utf8"));
// The schema is written in JSON Schema draft 4.
const ajv = new Ajv({ allErrors: true, strict: false, validateFormats: true });
addFormats(ajv);
const validate = ajv.compile(schema);
let failed = false;
for (const log of logs) {
  if (!validate(JSON.parse(readFileSync(log, "utf8")))) {
    failed = true;
    for (const error of validate.errors) {
      console.error(`${log}: ${error.instancePath || "/"} ${error.message}`);
    }
  } else {
    console.log(`${log}: valid SARIF 2.1.0`);
  }
}
process.exit(failed ? 1 : 0);
